#!/usr/bin/env python3
"""midicompile: compiles the game's songs from a compact text notation to Standard MIDI Files.

    python3 tools/midicompile/midicompile.py SONG.txt [-o OUT.mid] [--unroll N OUT2.mid]
    python3 tools/midicompile/midicompile.py --all          (tools/music/*.txt -> resources/MIDI)

The output is format 1 with a division of 480 ticks per quarter note: track 0 is the
conductor (title, time signature, tempo and the loop cues), then one track per part. A song
whose form has a bracketed body gets the cue point "repeat" at the start of the body and the
cue point "end" just after its end, so a looping player plays the introduction once and the
body again and again. See tools/midicompile/README.md for the notation.
"""
import math
import os
import random
import re
import struct
import sys

DIVISION = 480
WHOLE = DIVISION * 4


class SongError(Exception):
    pass


# ---------------------------------------------------------------- chords

CHORD_QUALITIES = {
    '': [0, 4, 7], 'm': [0, 3, 7], '7': [0, 4, 7, 10], 'm7': [0, 3, 7, 10],
    'maj7': [0, 4, 7, 11], 'M7': [0, 4, 7, 11], 'sus4': [0, 5, 7], 'sus2': [0, 2, 7],
    'dim': [0, 3, 6], 'aug': [0, 4, 8], '6': [0, 4, 7, 9], 'm6': [0, 3, 7, 9],
    'add9': [0, 4, 7, 14], '9': [0, 4, 7, 10, 14], 'm9': [0, 3, 7, 10, 14],
    '7sus4': [0, 5, 7, 10], 'dim7': [0, 3, 6, 9], 'm7b5': [0, 3, 6, 10], 'maj9': [0, 4, 7, 11, 14],
    'madd9': [0, 3, 7, 14], '5': [0, 7],
}
NOTE_BASE = {'c': 0, 'd': 2, 'e': 4, 'f': 5, 'g': 7, 'a': 9, 'b': 11}


def parse_chord(sym):
    m = re.fullmatch(r'([A-G])([#b]?)([a-zA-Z0-9]*)(?:/([A-G])([#b]?))?', sym)
    if not m or m.group(3) not in CHORD_QUALITIES:
        raise SongError('unknown chord %r' % sym)
    root = NOTE_BASE[m.group(1).lower()] + {'#': 1, 'b': -1, '': 0}[m.group(2)]
    tones = [(root + t) for t in CHORD_QUALITIES[m.group(3)]]
    bass = root
    if m.group(4):
        bass = NOTE_BASE[m.group(4).lower()] + {'#': 1, 'b': -1, '': 0}[m.group(5)]
    return {'root': root % 12, 'tones': tones, 'bass': bass % 12, 'name': sym}


def parse_progression(text, bar_ticks):
    """'C | Am | F G | G7 . . C' -> list of (start, end, chord); each bar's symbols share the
    bar equally, '.' extends the chord before it."""
    bars = [b.split() for b in text.split('|')]
    bars = [b for b in bars if b]
    out = []
    t = 0
    for bar in bars:
        step = bar_ticks / len(bar)
        for i, sym in enumerate(bar):
            s, e = int(round(t + i * step)), int(round(t + (i + 1) * step))
            if sym == '.':
                if not out:
                    raise SongError("'.' before any chord")
                out[-1] = (out[-1][0], e, out[-1][2])
            else:
                out.append((s, e, parse_chord(sym)))
        t += bar_ticks
    return out, int(t)


# ---------------------------------------------------------------- notes

class Pattern:
    """Notes (start, length, pitch, velocity) and controls (start, kind, a, b) over a length."""

    def __init__(self, length=0):
        self.notes = []
        self.controls = []
        self.length = length

    def shifted(self, dt, transpose=0):
        p = Pattern(self.length)
        p.notes = [(s + dt, l, n + transpose if n is not None else None, v) for s, l, n, v in self.notes]
        p.controls = [(s + dt, k, a, b) for s, k, a, b in self.controls]
        return p


def note_len(num, dots):
    base = WHOLE / num
    total, add = base, base
    for _ in range(dots):
        add /= 2
        total += add
    return total


class MML:
    """The melody notation: o4 > < l8 c d+ e- f4. r8 c^16 [ceg]2 v100 q80 x100 p64 @73 (..)3 |"""

    TOKEN = re.compile(r'\s*(?:(?P<note>[a-g])(?P<acc>[+#\-]*)(?P<nlen>\d*)(?P<ndots>\.*)'
                       r'|(?P<rest>r)(?P<rlen>\d*)(?P<rdots>\.*)'
                       r'|(?P<tie>\^)(?P<tlen>\d*)(?P<tdots>\.*)'
                       r'|(?P<cmd>[olvqxpk@])(?P<val>-?\d+)(?P<cdots>\.*)'
                       r'|(?P<sym>[<>\[\]|()])(?P<rep>\d*)(?P<sdots>\.*))')

    def __init__(self, text, bar_ticks, octave=4, gate=90, velocity=96, where=''):
        self.text = text
        self.bar = bar_ticks
        self.where = where
        self.octave = octave
        self.default = (4, 0)
        self.gate = gate
        self.vel = velocity
        self.transpose = 0

    def error(self, msg, pos):
        raise SongError('%s: %s at %r' % (self.where, msg, self.text[max(0, pos - 20):pos + 10]))

    def parse(self):
        tokens = []
        pos = 0
        text = self.text
        while pos < len(text):
            if text[pos].isspace():
                pos += 1
                continue
            m = self.TOKEN.match(text, pos)
            if not m or m.end() == pos:
                self.error('cannot read', pos)
            tokens.append((m, pos))
            pos = m.end()
        pat = Pattern()
        t = self._run(tokens, 0, len(tokens), 0.0, pat)
        pat.length = int(round(t))
        return pat

    def _length(self, num, dots):
        if num == '':
            n, d = self.default
            return note_len(n, d + len(dots))
        return note_len(int(num), len(dots))

    def _run(self, tokens, i, end, t, pat):
        chord = None
        last_note = None  # index into pat.notes of the last note(s) for ties
        while i < end:
            m, pos = tokens[i]
            if m.group('note'):
                pitch = 12 * (self.octave + 1) + NOTE_BASE[m.group('note')] + self.transpose
                for a in m.group('acc'):
                    pitch += 1 if a in '+#' else -1
                length = self._length(m.group('nlen'), m.group('ndots'))
                if chord is not None:
                    chord['pitches'].append(pitch)
                    if m.group('nlen'):
                        chord['length'] = length
                else:
                    pat.notes.append([t, length, pitch, self.vel, self.gate])
                    last_note = [len(pat.notes) - 1]
                    t += length
            elif m.group('rest'):
                t += self._length(m.group('rlen'), m.group('rdots'))
                last_note = None
            elif m.group('tie'):
                length = self._length(m.group('tlen'), m.group('tdots'))
                if last_note is None:
                    self.error('tie without a note', pos)
                for k in last_note:
                    pat.notes[k][1] += length
                t += length
            elif m.group('cmd'):
                c, v = m.group('cmd'), int(m.group('val'))
                if c == 'o':
                    self.octave = v
                elif c == 'l':
                    self.default = (v, len(m.group('cdots')))
                elif c == 'v':
                    self.vel = max(1, min(127, v))
                elif c == 'q':
                    self.gate = max(10, min(100, v))
                elif c == 'x':
                    pat.controls.append((t, 'cc', 11, max(0, min(127, v))))
                elif c == 'p':
                    pat.controls.append((t, 'cc', 10, max(0, min(127, v))))
                elif c == '@':
                    pat.controls.append((t, 'program', v, 0))
                elif c == 'k':
                    self.transpose = v
                else:
                    self.error('unknown command', pos)
            else:
                s = m.group('sym')
                if s == '>':
                    self.octave += 1
                elif s == '<':
                    self.octave -= 1
                elif s == '[':
                    chord = {'pitches': [], 'length': None, 'octave': self.octave}
                elif s == ']':
                    if chord is None:
                        self.error('] without [', pos)
                    length = (self._length(m.group('rep'), m.group('sdots')) if m.group('rep')
                              else chord['length'] or self._length('', ''))
                    self.octave = chord['octave']
                    last_note = []
                    for p in chord['pitches']:
                        pat.notes.append([t, length, p, self.vel, self.gate])
                        last_note.append(len(pat.notes) - 1)
                    t += length
                    chord = None
                elif s == '|':
                    if abs(t / self.bar - round(t / self.bar)) > 1e-6:
                        self.error('bar line at %.3f bars' % (t / self.bar), pos)
                elif s == '(':
                    depth, j = 1, i + 1
                    while j < end and depth:
                        sj = tokens[j][0].group('sym')
                        depth += 1 if sj == '(' else -1 if sj == ')' else 0
                        j += 1
                    if depth:
                        self.error('( without )', pos)
                    count = int(tokens[j - 1][0].group('rep') or 2)
                    for _ in range(count):
                        t = self._run(tokens, i + 1, j - 1, t, pat)
                    i = j
                    continue
                elif s == ')':
                    self.error(') without (', pos)
            i += 1
        return t


def finish_notes(pat):
    """Applies each note's gate and rounds to ticks."""
    out = Pattern(pat.length)
    for s, l, p, v, *g in pat.notes:
        gate = g[0] if g else 100
        played = max(10, l * gate / 100.0)
        out.notes.append((int(round(s)), int(round(played)), p, v))
    out.controls = [(int(round(s)), k, a, b) for s, k, a, b in pat.controls]
    return out


DRUMS = {'K': 36, 'S': 38, 'R': 37, 'A': 39, 'H': 42, 'P': 44, 'O': 46, 'C': 49, 'Y': 51,
         'N': 53, 'L': 45, 'M': 47, 'T': 50, 'F': 41, 'B': 54, 'W': 56, 'Z': 57, 'G': 81,
         'Q': 70}
DRUM_VEL = {'x': 96, 'X': 118, 'o': 78, 'g': 54}


def parse_grid(lines, bar_ticks, steps_per_bar, where):
    pat = Pattern()
    step = bar_ticks / steps_per_bar
    length = None
    for line in lines:
        parts = line.split(None, 1)
        if len(parts) != 2 or parts[0] not in DRUMS:
            raise SongError('%s: bad drum line %r' % (where, line))
        cells = parts[1].replace('|', '').replace(' ', '')
        if length is None:
            length = len(cells)
        elif length != len(cells):
            raise SongError('%s: drum lines of different lengths' % where)
        for i, ch in enumerate(cells):
            if ch in DRUM_VEL:
                pat.notes.append((int(round(i * step)), int(round(step * 0.5)), DRUMS[parts[0]], DRUM_VEL[ch]))
            elif ch not in '.-':
                raise SongError('%s: bad drum step %r' % (where, ch))
    if length is None or (length % steps_per_bar):
        raise SongError('%s: drum pattern is not a whole number of bars' % where)
    pat.length = int(round(length * step))
    return pat


# ---------------------------------------------------------------- accompaniment styles

def voice_chord(chord, lo, hi, prev, count):
    """Chord tones placed in lo..hi, as close as possible to the previous voicing."""
    pcs = []
    for t in chord['tones']:
        if t % 12 not in pcs:
            pcs.append(t % 12)
    pcs = pcs[:count] if len(pcs) > count else pcs
    best, best_cost = None, None
    candidates = []
    for base in range(lo, hi + 1):
        if base % 12 not in pcs:
            continue
        v = [base]
        for pc in pcs:
            if pc == base % 12:
                continue
            n = base + ((pc - base) % 12)
            v.append(n)
        v.sort()
        while len(v) < count:
            v.append(v[len(v) - len(pcs)] + 12)
        if v[-1] <= hi:
            candidates.append(v)
    if not candidates:
        raise SongError('no voicing of %s in %d..%d' % (chord['name'], lo, hi))
    for v in candidates:
        if prev:
            cost = sum(min(abs(a - b) for b in prev) for a in v) + abs(sum(v) / len(v) - sum(prev) / len(prev))
        else:
            cost = abs(sum(v) / len(v) - (lo + hi) / 2.0)
        if best_cost is None or cost < best_cost:
            best, best_cost = v, cost
    return best


def bass_pitch(pc, lo, hi, prev):
    cands = [n for n in range(lo, hi + 1) if n % 12 == pc]
    if not cands:
        raise SongError('no bass note for pitch class %d' % pc)
    if prev is None:
        return min(cands, key=lambda n: abs(n - (lo + 7)))
    return min(cands, key=lambda n: (abs(n - prev), n))


def render_style(style, progression, total, bar_ticks, where):
    kind = style['kind']
    rhythm = style.get('rhythm', 'x')
    lo, hi = int(style.get('lo', 55)), int(style.get('hi', 79))
    vel = int(style.get('vel', 90))
    gate = int(style.get('gate', 90))
    count = int(style.get('notes', 4 if kind == 'pad' else 3))
    steps = len(rhythm)
    step = bar_ticks / steps
    pat = Pattern(total)
    prev_voicing = None
    prev_bass = None
    arp_index = 0
    for ci, (s, e, chord) in enumerate(progression):
        nxt = progression[ci + 1][2] if ci + 1 < len(progression) else progression[0][2]
        if kind == 'pad':
            v = voice_chord(chord, lo, hi, prev_voicing, count)
            prev_voicing = v
            for n in v:
                pat.notes.append([s, (e - s), n, vel, gate])
            continue
        voicing = voice_chord(chord, lo, hi, prev_voicing, count) if kind in ('chord', 'arp') else None
        if voicing:
            prev_voicing = voicing
        root = bass_pitch(chord['bass'], lo, hi, prev_bass) if kind == 'bass' else None
        if root is not None:
            prev_bass = root
        # steps of the bar grid that start inside this chord
        first = int(math.ceil(s / step - 1e-9))
        k = first
        while k * step < e - 1e-9:
            ch = rhythm[k % steps]
            if ch == '-' and k == first:
                # a hold across a chord change sounds the new chord with the step it holds
                b = k - 1
                while rhythm[b % steps] == '-' and b > k - steps:
                    b -= 1
                ch = rhythm[b % steps]
            t0 = k * step
            # length: up to the next step that is not a hold, or the chord's end
            j = k + 1
            while j * step < e - 1e-9 and rhythm[j % steps] == '-':
                j += 1
            t1 = min(j * step, e)
            accent = ch.isupper()
            v = min(127, vel + (14 if accent else 0))
            c = ch.lower()
            if c in '.-':
                pass
            elif kind == 'bass':
                # chord tones above the bass note actually played (a slash chord's bass
                # need not be its root)
                third_pc = (chord['tones'][1] if len(chord['tones']) > 1 else chord['tones'][0]) % 12
                fifths = [t for t in chord['tones'] if (t - chord['root']) % 12 in (6, 7, 8)]
                fifth_pc = (fifths[0] if fifths else chord['root'] + 7) % 12
                if c == 'r':
                    n = root
                elif c == 'o':
                    n = root + 12
                elif c == 'f':
                    n = root + ((fifth_pc - root) % 12 or 12)
                elif c == 'v':  # the fifth below
                    n = root + ((fifth_pc - root) % 12 or 12) - 12
                elif c == 't':
                    n = root + ((third_pc - root) % 12 or 12)
                elif c == 'a':  # approach the next chord's bass from a half step below or above
                    target = bass_pitch(nxt['bass'], lo, hi, root)
                    n = target - 1 if target - 1 != root else target + 1
                elif c == 's':  # the scale step below the root
                    n = root - 2
                else:
                    raise SongError('%s: bad bass step %r' % (where, ch))
                pat.notes.append([t0, t1 - t0, n, v, gate])
            elif kind == 'chord':
                if c != 'x':
                    raise SongError('%s: bad chord step %r' % (where, ch))
                for n in voicing:
                    pat.notes.append([t0, t1 - t0, n, v, gate])
            elif kind == 'arp':
                order = style.get('order', 'up')
                tones = voicing + [n + 12 for n in voicing]
                if order == 'updown':
                    seq = tones + tones[-2:0:-1]
                elif order == 'down':
                    seq = tones[::-1]
                else:
                    seq = tones
                if c == 'x':
                    n = seq[arp_index % len(seq)]
                    arp_index += 1
                elif c.isdigit():
                    n = tones[int(c) % len(tones)]
                else:
                    raise SongError('%s: bad arpeggio step %r' % (where, ch))
                pat.notes.append([t0, t1 - t0, n, v, gate])
            k = j
        if kind == 'arp' and style.get('reset', '1') == '1':
            arp_index = 0
    return finish_notes(pat)


# ---------------------------------------------------------------- the song file

class Part:
    def __init__(self, name, opts, index):
        self.name = name
        self.channel = int(opts.get('ch', index + 1))
        if not 1 <= self.channel <= 16:
            raise SongError('part %s: channel %d' % (name, self.channel))
        self.program = int(opts.get('prog', 0))
        self.volume = int(opts.get('vol', 100))
        self.pan = int(opts.get('pan', 64))
        self.reverb = int(opts.get('rev', 40))
        self.chorus = int(opts.get('cho', 0))
        self.octave = int(opts.get('oct', 4))
        self.gate = int(opts.get('gate', 90))
        self.velocity = int(opts.get('vel', 96))
        self.human = int(opts.get('human', 4))
        self.drums = self.channel == 10


def strip_comment(line):
    """A comment starts with '#' at the start of a line or after a space, so that sharps
    such as C# or F#m stay part of a chord."""
    m = re.search(r'(^|\s)#', line)
    return (line[:m.start()] if m else line).rstrip()


def parse_opts(words):
    opts = {}
    for w in words:
        if '=' not in w:
            raise SongError('expected key=value, got %r' % w)
        k, v = w.split('=', 1)
        opts[k] = v
    return opts


class Song:
    def __init__(self, text, name):
        self.name = name
        self.title = name
        self.tempo = 120
        self.meter = (4, 4)
        self.parts = []
        self.chords = {}
        self.styles = {}
        self.defs = {}
        self.sections = {}
        self.form = []
        self.loop = None
        self._parse(text)

    @property
    def bar_ticks(self):
        return int(WHOLE * self.meter[0] / self.meter[1])

    def part(self, name):
        for p in self.parts:
            if p.name == name:
                return p
        raise SongError('no part %r' % name)

    def _parse(self, text):
        lines = text.split('\n')
        i = 0
        while i < len(lines):
            raw = strip_comment(lines[i])
            i += 1
            if not raw.strip():
                continue
            if raw[0].isspace():
                raise SongError('line %d: indented line outside a block' % i)
            # gather the indented continuation lines of this statement
            body = []
            while i < len(lines):
                nxt = strip_comment(lines[i])
                if nxt and not nxt[0].isspace():
                    break
                if nxt.strip():
                    body.append(nxt.strip())
                i += 1
            words = raw.split()
            key = words[0].rstrip(':')
            try:
                self._statement(key, raw, words, body)
            except SongError as e:
                raise SongError('%s line %d: %s' % (self.name, i, e))

    def _statement(self, key, raw, words, body):
        if key == 'title':
            self.title = raw.split(None, 1)[1].strip()
        elif key == 'tempo':
            self.tempo = float(words[1])
        elif key == 'meter':
            a, b = words[1].split('/')
            self.meter = (int(a), int(b))
        elif key == 'part':
            self.parts.append(Part(words[1], parse_opts(words[2:]), len(self.parts)))
        elif key == 'chords':
            name, rest = raw.split(None, 1)[1].split('=', 1)
            self.chords[name.strip()] = ' '.join([rest] + body)
        elif key == 'style':
            name, rest = raw.split(None, 1)[1].split('=', 1)
            w = rest.split()
            opts = parse_opts(w[1:])
            opts['kind'] = w[0]
            if w[0] not in ('bass', 'chord', 'arp', 'pad'):
                raise SongError('unknown style kind %r' % w[0])
            self.styles[name.strip()] = opts
        elif key == 'def':
            name, rest = raw.split(None, 1)[1].split('=', 1)
            self.defs[name.strip()] = (rest.strip(), body)
        elif key == 'section':
            opts = parse_opts(words[2:])
            parts = {}
            for line in body:
                if ':' not in line:
                    raise SongError('section %s: expected "part: items"' % words[1])
                pn, items = line.split(':', 1)
                parts[pn.strip()] = items.split()
            self.sections[words[1]] = (int(opts.get('bars', 0)), parts)
        elif key == 'form':
            items = ' '.join([raw.split(None, 1)[1]] + body).replace('[', ' [ ').replace(']', ' ] ').split()
            if '[' in items:
                a, b = items.index('['), items.index(']')
                self.loop = (a, b - 2)  # indices once the brackets are gone
                items = [x for x in items if x not in '[]']
            self.form = items
        else:
            raise SongError('unknown statement %r' % key)

    # ------------------------------------------------------------ building

    def pattern(self, name, part):
        if name not in self.defs:
            raise SongError('no pattern %r' % name)
        head, body = self.defs[name]
        where = '%s/%s' % (self.name, name)
        if head.startswith('grid'):
            w = head.split()
            steps = int(w[1]) if len(w) > 1 else 16
            return parse_grid(body, self.bar_ticks, steps, where)
        text = ' '.join([head] + body)
        mml = MML(text, self.bar_ticks, octave=part.octave, gate=part.gate, velocity=part.velocity, where=where)
        return finish_notes(mml.parse())

    def item(self, word, part, section_len):
        """One section item: NAME, NAME*n, NAME^k, @style:chords, rN, -"""
        if word in ('-', 'rest'):
            return Pattern(section_len)
        m = re.fullmatch(r'r(\d+)', word)
        if m:
            return Pattern(int(m.group(1)) * self.bar_ticks)
        m = re.fullmatch(r'(@?[\w.]+(?::[\w.]+)?)(?:\^(-?\d+))?(?:\*(\d+))?', word)
        if not m:
            raise SongError('bad item %r' % word)
        base, transpose, times = m.group(1), int(m.group(2) or 0), int(m.group(3) or 1)
        if base.startswith('@'):
            style_name, _, prog_name = base[1:].partition(':')
            if style_name not in self.styles or prog_name not in self.chords:
                raise SongError('bad generated item %r' % word)
            prog, total = parse_progression(self.chords[prog_name], self.bar_ticks)
            one = render_style(self.styles[style_name], prog, total, self.bar_ticks, '%s/%s' % (self.name, word))
        else:
            one = self.pattern(base, part)
        out = Pattern(0)
        for k in range(times):
            sh = one.shifted(out.length, 0 if part.drums else transpose)
            out.notes += sh.notes
            out.controls += sh.controls
            out.length += one.length
        return out

    def build(self):
        """Returns (tracks events per part, section start ticks, total ticks)."""
        bar = self.bar_ticks
        starts = []
        t = 0
        per_part = {p.name: Pattern(0) for p in self.parts}
        for sec_name in self.form:
            if sec_name not in self.sections:
                raise SongError('form names unknown section %r' % sec_name)
            bars, parts = self.sections[sec_name]
            length = bars * bar
            starts.append(t)
            for pn in parts:
                self.part(pn)
            for p in self.parts:
                pos = 0
                for word in parts.get(p.name, ['-']):
                    pat = self.item(word, p, length - pos)
                    sh = pat.shifted(t + pos)
                    per_part[p.name].notes += sh.notes
                    per_part[p.name].controls += sh.controls
                    pos += pat.length
                if pos > length:
                    raise SongError('section %s: part %s runs %.2f bars, section has %d'
                                    % (sec_name, p.name, pos / bar, bars))
            t += length
        starts.append(t)
        return per_part, starts, t


# ---------------------------------------------------------------- SMF writing

def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def meta(kind, data):
    return bytes([0xFF, kind]) + vlq(len(data)) + data


def track_chunk(events, end_tick):
    """events: (tick, order, bytes, is_channel). Channel messages use running status; a meta
    or system-exclusive event cancels it. The end of track lies at end_tick."""
    events.sort(key=lambda e: (e[0], e[1]))
    out = bytearray()
    last_t = 0
    status = None
    for tick, _, data, is_channel in events:
        out += vlq(tick - last_t)
        last_t = tick
        if is_channel and data[0] == status:
            out += data[1:]
        else:
            out += data
            status = data[0] if is_channel else None
    out += vlq(max(0, end_tick - last_t)) + meta(0x2F, b'')
    return b'MTrk' + struct.pack('>I', len(out)) + bytes(out)


GM_SYSTEM_ON = bytes([0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7])


def humanise(notes, part, bar_ticks, seed):
    rnd = random.Random(seed)
    beat = DIVISION
    out = []
    for s, l, p, v in notes:
        if part.human:
            if s % bar_ticks == 0:
                v += 6
            elif s % beat == 0:
                v += 2
            elif s % (beat // 2) != 0:
                v -= 4
            v += rnd.randint(-part.human, part.human)
        out.append((s, l, p, max(1, min(127, v))))
    return out


def compile_song(song, seed=1):
    per_part, starts, total = song.build()
    ticks_per_pass = DIVISION * 10.0 / (60000.0 / song.tempo)
    tail = int(math.ceil(ticks_per_pass)) + 6  # the "end" cue lies this far past the body
    cues = {}
    if song.loop:
        a, b = song.loop
        cues = {'repeat': starts[a], 'end': starts[b + 1] + tail}
    end_tick = max(total, cues.get('end', 0))
    tracks = []
    # conductor
    usec = int(round(60000000.0 / song.tempo))
    num, den = song.meter
    cond = [(0, 0, meta(0x03, song.title.encode('ascii', 'replace')), False),
            (0, 1, meta(0x58, bytes([num, int(math.log2(den)), 24, 8])), False),
            (0, 2, meta(0x51, usec.to_bytes(3, 'big')), False)]
    for text, tick in cues.items():
        cond.append((tick, 3, meta(0x07, text.encode()), False))
    tracks.append(track_chunk(cond, end_tick))
    warnings = []
    for index, part in enumerate(song.parts):
        ch = part.channel - 1
        ev = [(0, 0, meta(0x03, part.name.encode()), False)]
        if index == 0:
            ev.append((0, 1, GM_SYSTEM_ON, False))
        setup = [(0xB0, 0, 0), (0xC0, part.program, None), (0xB0, 7, part.volume), (0xB0, 10, part.pan),
                 (0xB0, 91, part.reverb), (0xB0, 93, part.chorus), (0xB0, 11, 127)]
        for k, (st, a, b) in enumerate(setup):
            data = bytes([st | ch, a]) if b is None else bytes([st | ch, a, b])
            ev.append((0, 2 + k, data, True))
        pat = per_part[part.name]
        for s, kind, a, b in pat.controls:
            if kind == 'cc':
                ev.append((s, 20, bytes([0xB0 | ch, a, b]), True))
            elif kind == 'program':
                ev.append((s, 20, bytes([0xC0 | ch, a]), True))
        notes = humanise(sorted(pat.notes), part, song.bar_ticks, seed + index)
        # a note that starts again while it still sounds ends just before
        by_pitch = {}
        fixed = []
        for s, l, p, v in notes:
            if not 0 <= p <= 127:
                raise SongError('part %s: note %d out of range' % (part.name, p))
            fixed.append([s, l, p, v])
        fixed.sort()
        for n in fixed:
            prev = by_pitch.get(n[2])
            if prev is not None and prev[0] + prev[1] > n[0]:
                prev[1] = max(1, n[0] - prev[0])
            by_pitch[n[2]] = n
        for s, l, p, v in fixed:
            off = s + l
            if song.loop and s < cues['end'] and off > starts[song.loop[1] + 1]:
                warnings.append('part %s: note at %d rings past the loop end' % (part.name, s))
            if song.loop and cues['repeat'] - tail < s < cues['repeat']:
                # the player may store a track's place at "repeat" a pass early: such a
                # note would sound again on every loop
                warnings.append('part %s: note starts just before the repeat cue' % part.name)
            ev.append((s, 30, bytes([0x90 | ch, p, v]), True))
            ev.append((off, 10, bytes([0x90 | ch, p, 0]), True))  # note-offs before note-ons
        tracks.append(track_chunk(ev, end_tick))
    header = b'MThd' + struct.pack('>IHHH', 6, 1, len(tracks), DIVISION)
    info = {
        'tempo': song.tempo,
        'bars': total / song.bar_ticks,
        'seconds': total / DIVISION * 60.0 / song.tempo,
        'intro': (cues['repeat'] / DIVISION * 60.0 / song.tempo) if cues else 0.0,
        'body': ((starts[song.loop[1] + 1] - cues['repeat']) / DIVISION * 60.0 / song.tempo) if cues else 0.0,
        'cues': cues,
        'tracks': len(tracks),
        'warnings': warnings,
    }
    return header + b''.join(tracks), info


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.normpath(os.path.join(here, '..', '..'))
    if len(argv) >= 2 and argv[1] == '--all':
        srcs = sorted(os.path.join(root, 'tools', 'music', f) for f in os.listdir(os.path.join(root, 'tools', 'music'))
                      if f.endswith('.txt'))
        jobs = [(s, os.path.join(root, 'resources', 'MIDI', os.path.basename(s)[:-4] + '.mid')) for s in srcs]
    elif len(argv) >= 2:
        src = argv[1]
        out = argv[argv.index('-o') + 1] if '-o' in argv else os.path.splitext(src)[0] + '.mid'
        jobs = [(src, out)]
    else:
        print(__doc__)
        return 2
    for src, out in jobs:
        name = os.path.basename(src)[:-4]
        try:
            with open(src) as f:
                song = Song(f.read(), name)
            data, info = compile_song(song)
        except SongError as e:
            print('error: %s' % e, file=sys.stderr)
            return 1
        with open(out, 'wb') as f:
            f.write(data)
        loop = ('intro %.1f s + loop body %.1f s' % (info['intro'], info['body'])) if info['cues'] else 'plays once'
        print('%-8s %3d bpm %5.1f bars %5.1f s, %d tracks, %s, %d bytes'
              % (name, info['tempo'], info['bars'], info['seconds'], info['tracks'], loop, len(data)))
        for w in info['warnings']:
            print('  warning: ' + w)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
