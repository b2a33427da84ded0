#!/usr/bin/env python3
"""sfxgen: the game's sound effects, made by a small additive synthesiser.

    python3 tools/sfxgen/sfxgen.py [OUTDIR]      (default: resources/WAVE)

Every sound is built from band-limited oscillators (sine, triangle, square, saw made of
harmonics below the Nyquist frequency), filtered noise, envelopes with a soft attack and a
release to silence, pitch glides, vibrato, a short echo and panning. Each sound is normalised
to a peak level of its own (the table at the end: the frequent short sounds lowest, so that
they sit a few dB above the music rather than over it, and several at once leave headroom)FS and its first and last milliseconds are faded so that it starts and ends
at zero. The files are canonical RIFF/WAVE PCM at 22050 Hz in the mix of formats the game's
loader has to accept: 16-bit stereo for most, one 16-bit mono, one 8-bit mono, "fmt " chunks
of 16 and of 18 bytes, and a "fact" chunk before "data" in some.
"""
import math
import os
import random
import struct
import sys

SR = 22050
TWO_PI = 2.0 * math.pi


# ---------------------------------------------------------------- buffers

def silence(seconds):
    return [0.0] * int(round(seconds * SR))


def mix_into(dest, src, at=0.0, gain=1.0):
    """Adds src (mono list) into dest starting at `at` seconds, growing dest as needed."""
    start = int(round(at * SR))
    end = start + len(src)
    if end > len(dest):
        dest.extend([0.0] * (end - len(dest)))
    for i, v in enumerate(src):
        dest[start + i] += v * gain
    return dest


# ---------------------------------------------------------------- envelopes

def adsr(n, attack, decay, sustain, release, curve=2.0):
    """Attack-decay-sustain-release over n samples; times in seconds. The release ends the
    sound at exactly zero; the attack starts from exactly zero."""
    a = max(1, int(attack * SR))
    d = max(1, int(decay * SR))
    r = max(1, int(release * SR))
    env = []
    for i in range(n):
        if i < a:
            e = (i / a) ** 1.5
        elif i < a + d:
            t = (i - a) / d
            e = sustain + (1.0 - sustain) * (1.0 - t) ** curve
        else:
            e = sustain
        left = n - 1 - i
        if left < r:
            e *= (left / r) ** 1.5
        env.append(e)
    return env


def perc(n, attack=0.003, tau=0.1):
    """Percussive envelope: quick attack, exponential decay with time constant tau, and a
    short fade to zero at the very end."""
    a = max(1, int(attack * SR))
    fade = min(n // 4, int(0.01 * SR)) or 1
    env = []
    for i in range(n):
        e = (i / a) ** 1.5 if i < a else math.exp(-(i - a) / (tau * SR))
        left = n - 1 - i
        if left < fade:
            e *= left / fade
        env.append(e)
    return env


# ---------------------------------------------------------------- oscillators

HARMONICS = {
    'sine': lambda k: 1.0 if k == 1 else 0.0,
    'triangle': lambda k: (0.0 if k % 2 == 0 else (1.0 / (k * k)) * (1 if (k // 2) % 2 == 0 else -1)),
    'square': lambda k: 0.0 if k % 2 == 0 else 1.0 / k,
    'saw': lambda k: 1.0 / k,
    'soft': lambda k: 1.0 / (k ** 2.2),      # a rounded, flute-like tone
    'reed': lambda k: (1.0 / k) if k % 2 else (0.35 / k),
}


def tone(freq, seconds, wave='sine', env=None, glide_to=None, glide_curve=1.0,
         vibrato=(0.0, 0.0), amp=1.0, phase=0.0, max_harm=24):
    """One note. freq may glide to glide_to over the note; vibrato = (rate Hz, depth in
    semitones). Harmonics are dropped as they pass 0.45 x SR, so nothing aliases."""
    if env is None:
        env = adsr(int(round(seconds * SR)), 0.005, 0.05, 0.7, 0.05)
    n = len(env)  # an envelope given by the caller sets the length
    weights = [HARMONICS[wave](k) for k in range(1, max_harm + 1)]
    norm = sum(abs(w) for w in weights) or 1.0
    out = [0.0] * n
    ph = phase
    vr, vd = vibrato
    nyq = 0.45 * SR
    for i in range(n):
        t = i / n
        f = freq
        if glide_to is not None:
            f = freq * (glide_to / freq) ** (t ** glide_curve)
        if vd:
            f *= 2.0 ** (vd * math.sin(TWO_PI * vr * i / SR) / 12.0)
        ph += TWO_PI * f / SR
        s = 0.0
        for k, w in enumerate(weights, start=1):
            if w and k * f < nyq:
                s += w * math.sin(k * ph)
        out[i] = s / norm * env[i] * amp
    return out


def fm_bell(freq, seconds, ratio=3.5, index=2.5, tau=0.25, amp=1.0):
    """A two-operator FM bell: bright at the strike, mellowing as the index decays."""
    n = int(round(seconds * SR))
    env = perc(n, 0.002, tau)
    out = [0.0] * n
    for i in range(n):
        t = i / SR
        idx = index * math.exp(-t / (tau * 0.6))
        out[i] = math.sin(TWO_PI * freq * t + idx * math.sin(TWO_PI * freq * ratio * t)) * env[i] * amp
    return out


def noise(seconds, env=None, lowpass=None, highpass=None, seed=1, amp=1.0):
    rnd = random.Random(seed)
    if env is None:
        env = perc(int(round(seconds * SR)), 0.002, 0.05)
    n = len(env)
    out = [rnd.uniform(-1.0, 1.0) for _ in range(n)]
    if lowpass:
        out = one_pole_lowpass(out, lowpass)
    if highpass:
        out = one_pole_highpass(out, highpass)
    return [v * env[i] * amp for i, v in enumerate(out)]


def one_pole_lowpass(x, cutoff):
    a = math.exp(-TWO_PI * cutoff / SR)
    y, prev = [], 0.0
    for v in x:
        prev = (1 - a) * v + a * prev
        y.append(prev)
    return y


def one_pole_highpass(x, cutoff):
    low = one_pole_lowpass(x, cutoff)
    return [v - l for v, l in zip(x, low)]


def note_hz(name):
    """'A4' -> 440.0; sharps as 'C#5'."""
    names = {'C': -9, 'D': -7, 'E': -5, 'F': -4, 'G': -2, 'A': 0, 'B': 2}
    semis = names[name[0]]
    rest = name[1:]
    if rest.startswith('#'):
        semis += 1
        rest = rest[1:]
    elif rest.startswith('b'):
        semis -= 1
        rest = rest[1:]
    octave = int(rest)
    return 440.0 * 2.0 ** ((semis + 12 * (octave - 4)) / 12.0)


# ---------------------------------------------------------------- stereo and finishing

def stereo(mono, pan=0.0):
    """Equal-power pan, -1 left .. +1 right."""
    angle = (pan + 1.0) * math.pi / 4.0
    gl, gr = math.cos(angle) * math.sqrt(2), math.sin(angle) * math.sqrt(2)
    return [[v * gl for v in mono], [v * gr for v in mono]]


def mix_stereo(dest, src, at=0.0, gain=1.0):
    mix_into(dest[0], src[0], at, gain)
    mix_into(dest[1], src[1], at, gain)
    n = max(len(dest[0]), len(dest[1]))
    for ch in dest:
        ch.extend([0.0] * (n - len(ch)))
    return dest


def echo(st, delay=0.12, feedback=0.35, repeats=4, cross=True):
    """Ping-pong echo: each repeat lands on the other side, quieter."""
    left, right = st
    n = len(left) + int(delay * SR * repeats) + 1
    out = [left + [0.0] * (n - len(left)), right + [0.0] * (n - len(right))]
    g = 1.0
    for k in range(1, repeats + 1):
        g *= feedback
        d = int(delay * SR * k)
        src_l, src_r = (right, left) if (cross and k % 2) else (left, right)
        for i, v in enumerate(src_l):
            out[0][i + d] += v * g
        for i, v in enumerate(src_r):
            out[1][i + d] += v * g
    return out


def finish(channels, peak_db, fade_ms=4.0):
    """Trims to equal length, fades both ends to exactly zero, normalises to peak_db dBFS."""
    n = max(len(c) for c in channels)
    channels = [c + [0.0] * (n - len(c)) for c in channels]
    fade = max(2, int(fade_ms * SR / 1000.0))
    for c in channels:
        for i in range(min(fade, n)):
            g = (i / fade) ** 2
            c[i] *= g
            c[n - 1 - i] *= g
        c[0] = 0.0
        c[n - 1] = 0.0
    peak = max(max(abs(v) for v in c) for c in channels) or 1.0
    target = 10.0 ** (peak_db / 20.0)
    return [[v * target / peak for v in c] for c in channels]


# ---------------------------------------------------------------- the wave file

def write_wave(path, channels, bits=16, fmt_size=16, fact=False):
    """Writes PCM channels (lists of floats in -1..1) as a RIFF/WAVE file."""
    nch = len(channels)
    n = len(channels[0])
    frames = bytearray()
    if bits == 16:
        for i in range(n):
            for c in channels:
                v = int(round(max(-1.0, min(1.0, c[i])) * 32767))
                frames += struct.pack('<h', v)
    else:
        for i in range(n):
            for c in channels:
                v = int(round(max(-1.0, min(1.0, c[i])) * 127)) + 128
                frames += struct.pack('<B', v)
    block = nch * bits // 8
    fmt = struct.pack('<HHIIHH', 1, nch, SR, SR * block, block, bits)
    if fmt_size == 18:
        fmt += struct.pack('<H', 0)  # cbSize: no extra format bytes
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt
    if fact:
        body += b'fact' + struct.pack('<I', 4) + struct.pack('<I', n)
    body += b'data' + struct.pack('<I', len(frames)) + bytes(frames)
    if len(frames) % 2:
        body += b'\x00'  # the pad byte after an odd-sized chunk
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', len(body)) + body)


# ---------------------------------------------------------------- the sounds

def sfx_select():
    """Cursor moved: a short, soft two-harmonic blip."""
    n = int(0.07 * SR)
    a = tone(1568.0, 0.07, 'soft', perc(n, 0.002, 0.025))
    b = tone(3136.0, 0.07, 'sine', perc(n, 0.002, 0.012), amp=0.25)
    m = mix_into(a, b)
    return stereo(m, 0.0)


def sfx_decide():
    """Choice made: a bright rising pair of notes with a bell on top."""
    out = [[], []]
    n1, n2 = int(0.07 * SR), int(0.22 * SR)
    mix_stereo(out, stereo(tone(note_hz('E6'), 0.07, 'square', perc(n1, 0.002, 0.04), max_harm=8), -0.15))
    mix_stereo(out, stereo(tone(note_hz('B6'), 0.22, 'square', perc(n2, 0.002, 0.07), max_harm=6), 0.15), at=0.06)
    mix_stereo(out, stereo(fm_bell(note_hz('B6'), 0.25, ratio=2.0, index=1.2, tau=0.08, amp=0.5), 0.0), at=0.06)
    return echo(out, 0.07, 0.25, 2)


def sfx_cancel():
    """Cancelled: a falling pair of mellow notes."""
    out = [[], []]
    n1, n2 = int(0.08 * SR), int(0.2 * SR)
    mix_stereo(out, stereo(tone(note_hz('A5'), 0.08, 'triangle', perc(n1, 0.003, 0.05)), 0.1))
    mix_stereo(out, stereo(tone(note_hz('D5'), 0.2, 'triangle', perc(n2, 0.003, 0.07), glide_to=note_hz('C#5')), -0.1), at=0.07)
    return out


def sfx_pause():
    """Pause on and off: two quick chimes, a fifth apart (8-bit mono)."""
    out = []
    n = int(0.2 * SR)
    mix_into(out, fm_bell(note_hz('G5'), 0.18, ratio=1.0, index=1.5, tau=0.06))
    mix_into(out, fm_bell(note_hz('D6'), 0.26, ratio=1.0, index=1.5, tau=0.08), at=0.08)
    return [out]


def sfx_exchg():
    """Two blocks swapped: a quick upward swish (16-bit mono)."""
    n = int(0.075 * SR)
    body = tone(520.0, 0.075, 'triangle', perc(n, 0.002, 0.03), glide_to=1040.0, glide_curve=0.6)
    air = noise(0.075, perc(n, 0.001, 0.012), lowpass=5000, highpass=1500, seed=3, amp=0.35)
    return [mix_into(body, air)]


def sfx_fall():
    """A block lands: a short, soft wooden thud."""
    n = int(0.12 * SR)
    thud = tone(210.0, 0.12, 'sine', perc(n, 0.002, 0.035), glide_to=110.0, glide_curve=0.5)
    knock = tone(620.0, 0.12, 'triangle', perc(n, 0.001, 0.012), glide_to=480.0, amp=0.35)
    tap = noise(0.12, perc(n, 0.001, 0.006), lowpass=2500, seed=5, amp=0.3)
    m = mix_into(mix_into(thud, knock), tap)
    return stereo(m, 0.0)


def sfx_erase():
    """A run starts to blink: a bright sparkling bell with a shimmer."""
    out = [[], []]
    mix_stereo(out, stereo(fm_bell(note_hz('E6'), 0.4, ratio=3.0, index=2.0, tau=0.1), -0.2))
    mix_stereo(out, stereo(fm_bell(note_hz('B6'), 0.35, ratio=3.0, index=1.5, tau=0.08, amp=0.7), 0.2), at=0.04)
    mix_stereo(out, stereo(fm_bell(note_hz('E7'), 0.3, ratio=2.0, index=1.0, tau=0.06, amp=0.45), 0.0), at=0.08)
    return echo(out, 0.06, 0.3, 3)


def sfx_star():
    """Blocks vanish into stars: a quick glittering upward arpeggio."""
    out = [[], []]
    notes = ['C6', 'E6', 'G6', 'C7', 'E7']
    for i, nm in enumerate(notes):
        pan = -0.6 + 1.2 * i / (len(notes) - 1)
        mix_stereo(out, stereo(fm_bell(note_hz(nm), 0.22, ratio=4.0, index=1.2, tau=0.05, amp=0.8), pan), at=0.035 * i)
    sparkle = noise(0.3, perc(int(0.3 * SR), 0.01, 0.08), highpass=6000, seed=9, amp=0.12)
    mix_stereo(out, stereo(sparkle, 0.0), at=0.05)
    return echo(out, 0.08, 0.3, 3)


def chord(names, seconds, wave, env_fn, amp=1.0):
    out = []
    for nm in names:
        n = int(round(seconds * SR))
        mix_into(out, tone(note_hz(nm), seconds, wave, env_fn(n), amp=amp / len(names)))
    return out


def sfx_ready():
    """READY ... GO: three soft count beeps while READY shows, then a bright rising GO
    chord at 1.6 s, when GO appears."""
    out = [[], []]
    for k, t in enumerate((0.0, 0.5, 1.0)):
        n = int(0.16 * SR)
        beep = tone(note_hz('A5'), 0.16, 'soft', perc(n, 0.003, 0.06))
        beep = mix_into(beep, tone(note_hz('A6'), 0.16, 'sine', perc(n, 0.003, 0.03), amp=0.2))
        mix_stereo(out, stereo(beep, (-0.3, 0.0, 0.3)[k]), at=t, gain=0.7)
    go_len = 0.75
    n = int(go_len * SR)
    go = chord(['A5', 'C#6', 'E6', 'A6'], go_len, 'square',
               lambda n: adsr(n, 0.004, 0.15, 0.45, 0.35), amp=1.4)
    sweep = tone(note_hz('A5'), 0.12, 'saw', perc(int(0.12 * SR), 0.002, 0.06),
                 glide_to=note_hz('A6'), max_harm=10, amp=0.5)
    mix_stereo(out, stereo(sweep, 0.0), at=1.52)
    left = mix_into(list(go), fm_bell(note_hz('E7'), 0.5, ratio=2.0, index=1.0, tau=0.12, amp=0.3))
    mix_stereo(out, [left, go], at=1.6)
    return echo(out, 0.11, 0.25, 3)


def sfx_clear():
    """Stage cleared: a rising major arpeggio into a bright held chord with a bell sparkle."""
    out = [[], []]
    arp = ['C5', 'E5', 'G5', 'C6', 'E6', 'G6']
    step = 0.085
    for i, nm in enumerate(arp):
        n = int(0.2 * SR)
        pan = -0.5 + i / (len(arp) - 1)
        mix_stereo(out, stereo(tone(note_hz(nm), 0.2, 'square', perc(n, 0.003, 0.08), max_harm=9), pan),
                   at=i * step, gain=0.7)
    t = len(arp) * step
    n = int(1.3 * SR)
    held = chord(['C5', 'G5', 'C6', 'E6'], 1.3, 'reed', lambda n: adsr(n, 0.01, 0.3, 0.55, 0.6), amp=1.6)
    vib = tone(note_hz('C7'), 1.3, 'soft', adsr(n, 0.05, 0.2, 0.5, 0.6), vibrato=(6.0, 0.15), amp=0.25)
    mix_stereo(out, stereo(mix_into(held, vib), 0.0), at=t)
    for i, nm in enumerate(['G7', 'E7', 'C8']):
        mix_stereo(out, stereo(fm_bell(note_hz(nm), 0.4, ratio=2.0, index=1.0, tau=0.1, amp=0.25), (-0.5, 0.5, 0.0)[i]),
                   at=t + 0.1 + 0.12 * i)
    return echo(out, 0.13, 0.3, 4)


def sfx_gameover():
    """Game over: a slow falling minor line over a low pad, ending on a soft low chord."""
    out = [[], []]
    line = [('E5', 0.0), ('D5', 0.32), ('C5', 0.64), ('B4', 0.96), ('A4', 1.36)]
    for i, (nm, t) in enumerate(line):
        dur = 0.34 if i < len(line) - 1 else 1.4
        n = int(dur * SR)
        mix_stereo(out, stereo(tone(note_hz(nm), dur, 'triangle', adsr(n, 0.01, 0.1, 0.6, min(0.2, dur * 0.6)),
                                    vibrato=(5.0, 0.08) if i == len(line) - 1 else (0.0, 0.0)), 0.0), at=t, gain=0.8)
    n = int(2.8 * SR)
    pad = chord(['A2', 'E3', 'A3', 'C4'], 2.8, 'soft', lambda n: adsr(n, 0.25, 0.5, 0.6, 1.0), amp=1.2)
    mix_stereo(out, stereo(pad, 0.0), at=0.0, gain=0.7)
    thump = tone(110.0, 0.5, 'sine', perc(int(0.5 * SR), 0.004, 0.15), glide_to=55.0)
    mix_stereo(out, stereo(thump, 0.0), at=1.36, gain=0.6)
    return echo(out, 0.18, 0.3, 4)


def sfx_logo():
    """The maker's jingle: three chimes climbing into a wide, shimmering chord."""
    out = [[], []]
    for i, (nm, t) in enumerate([('G5', 0.0), ('C6', 0.18), ('E6', 0.36)]):
        mix_stereo(out, stereo(fm_bell(note_hz(nm), 0.9, ratio=2.0, index=1.8, tau=0.3), (-0.5, 0.5, 0.0)[i]), at=t, gain=0.6)
    n = int(2.2 * SR)
    pad_l = chord(['C5', 'G5', 'E6'], 2.2, 'soft', lambda n: adsr(n, 0.2, 0.4, 0.6, 1.0), amp=1.2)
    pad_r = chord(['C5', 'G5', 'D6'], 2.2, 'soft', lambda n: adsr(n, 0.2, 0.4, 0.6, 1.0), amp=1.2)
    mix_stereo(out, [pad_l, pad_r], at=0.5, gain=0.7)
    mix_stereo(out, stereo(fm_bell(note_hz('C7'), 1.6, ratio=3.0, index=1.2, tau=0.5, amp=0.5), 0.0), at=0.54)
    mix_stereo(out, stereo(tone(note_hz('C3'), 2.0, 'sine', adsr(int(2.0 * SR), 0.05, 0.5, 0.5, 0.9)), 0.0), at=0.54, gain=0.5)
    return echo(out, 0.16, 0.3, 4)


# name: (builder, bits, fmt chunk size, fact chunk, peak level in dBFS)
# The levels put each sound's own loudness (RMS while it sounds) near -17.5 dBFS, a few dB
# above the music's (about -22 dBFS while it plays): the blips that come often and in
# bursts (cursor, swap, landing) have the most energy for their peak and sit lowest.
SOUNDS = {
    'SELECT': (sfx_select, 16, 16, False, -6.5),
    'DECIDE': (sfx_decide, 16, 18, True, -5.0),
    'CANCEL': (sfx_cancel, 16, 16, False, -5.0),
    'PAUSE': (sfx_pause, 8, 16, False, -5.0),      # the 8-bit mono one
    'EXCHG': (sfx_exchg, 16, 18, False, -6.0),     # the 16-bit mono one
    'FALL': (sfx_fall, 16, 18, True, -6.0),
    'GAMEOVER': (sfx_gameover, 16, 16, False, -5.0),
    'CLEAR': (sfx_clear, 16, 18, True, -5.0),
    'READY': (sfx_ready, 16, 16, False, -4.0),
    'ERASE': (sfx_erase, 16, 18, False, -5.0),
    'STAR': (sfx_star, 16, 16, True, -4.5),
    'LOGO': (sfx_logo, 16, 18, False, -4.0),
}


def main(argv):
    outdir = argv[1] if len(argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', '..', 'resources', 'WAVE')
    os.makedirs(outdir, exist_ok=True)
    only = set(argv[2:])
    for name, (build, bits, fmt_size, fact, peak_db) in SOUNDS.items():
        if only and name not in only:
            continue
        channels = finish(build(), peak_db)
        path = os.path.join(outdir, name + '.wav')
        write_wave(path, channels, bits=bits, fmt_size=fmt_size, fact=fact)
        print('%-9s %d ch %2d bit fmt %d%s  %.3f s' % (
            name, len(channels), bits, fmt_size, ' fact' if fact else '     ', len(channels[0]) / SR))


if __name__ == '__main__':
    main(sys.argv)
