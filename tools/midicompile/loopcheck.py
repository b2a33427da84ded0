#!/usr/bin/env python3
"""loopcheck: plays a song the way the game's MIDI sequencer does and checks its loop.

    python3 tools/midicompile/loopcheck.py SONG.mid [--seconds S] [--once] [--unroll OUT.mid]

The game's sequencer runs a pass every 10 ms: it turns the elapsed time into ticks at the
current tempo (whole beats per minute, integer milliseconds per beat, remainder carried),
serves the tracks in order and, on the cue "repeat", remembers every track's place; on the
cue "end" every track jumps back there (or, played once, the song stops). This script does
the same with the compiled file, reports when each loop happens, and fails when a note is
still sounding at a jump (it would hang) or a note-on arrives for a note that already sounds.
--unroll writes what was sent as a plain one-track file (1 tick = 1 ms) to render or listen.
"""
import struct
import sys


def vlq(data, pos):
    v = 0
    while True:
        b = data[pos]
        pos += 1
        v = (v << 7) | (b & 0x7F)
        if not b & 0x80:
            return v, pos


class Track:
    def __init__(self, data):
        self.data = data
        self.pos = 0
        self.loop_pos = 0
        self.status = 0
        self.pending = 0
        self.loop_pending = 0
        self.ended = False


class Player:
    def __init__(self, image, loop):
        if image[:4] != b'MThd':
            raise ValueError('not a MIDI file')
        fmt, ntr, self.division = struct.unpack('>HHH', image[8:14])
        pos = 14
        self.tracks = []
        for _ in range(min(ntr, 64)):
            if image[pos:pos + 4] != b'MTrk':
                raise ValueError('missing track chunk')
            n = struct.unpack('>I', image[pos + 4:pos + 8])[0]
            self.tracks.append(Track(image[pos + 8:pos + 8 + n]))
            pos += 8 + n
        self.tempo = 120
        self.remainder = 0
        self.loop = loop
        self.playing = True
        self.sent = []        # (ms, bytes)
        self.events = []      # (ms, text)
        self.now = 0
        self.sounding = {}
        self.problems = []

    def send(self, msg):
        self.sent.append((self.now, bytes(msg)))
        st = msg[0] & 0xF0
        key = (msg[0] & 0x0F, msg[1]) if len(msg) > 1 else None
        if st == 0x90 and msg[2] > 0:
            if key in self.sounding:
                self.problems.append('%d ms: note %s struck while it sounds' % (self.now, key))
            self.sounding[key] = self.now
        elif st == 0x80 or (st == 0x90 and msg[2] == 0):
            self.sounding.pop(key, None)

    def stop(self):
        self.playing = False
        self.sounding.clear()  # the output is reset: every note stops
        self.events.append((self.now, 'stop'))

    def meta(self, i):
        t = self.tracks[i]
        t.pos += 1
        kind = t.data[t.pos]
        t.pos += 1
        n, t.pos = vlq(t.data, t.pos)
        body = t.data[t.pos:t.pos + n]
        if kind == 0x07:
            if body[:6] == b'repeat':
                for tr in self.tracks:
                    tr.loop_pos, tr.loop_pending = tr.pos, tr.pending
                t.loop_pos = t.pos + n
                self.events.append((self.now, 'repeat'))
            elif body[:3] == b'end':
                if self.loop:
                    if self.sounding:
                        self.problems.append('%d ms: notes sounding at the loop jump: %s'
                                             % (self.now, sorted(self.sounding)))
                    for tr in self.tracks:
                        tr.ended, tr.pos, tr.pending = False, tr.loop_pos, tr.loop_pending
                    self.remainder = 0
                    self.events.append((self.now, 'loop'))
                    return  # this track lands on its loop position
                self.stop()
        elif kind == 0x2F:
            t.ended = True
            self.eot()
        elif kind == 0x51:
            self.tempo = 60000000 // int.from_bytes(body, 'big')
        t.pos += n

    def eot(self):
        if all(tr.ended for tr in self.tracks):
            if not self.loop:
                self.stop()
            else:
                for tr in self.tracks:
                    tr.ended, tr.pos, tr.pending, tr.status = False, 0, 0, 0
                self.events.append((self.now, 'restart'))

    def event(self, i):
        t = self.tracks[i]
        b = t.data[t.pos]
        if b == 0xF0:
            t.pos += 1
            n, t.pos = vlq(t.data, t.pos)
            self.send(b'\xF0' + t.data[t.pos:t.pos + n])
            t.pos += n
        elif b == 0xFF:
            self.meta(i)
        else:
            if b >= 0x80:
                t.status = b
                t.pos += 1
            st = t.status
            n = 1 if 0xC0 <= st <= 0xDF else 2
            self.send(bytes([st]) + t.data[t.pos:t.pos + n])
            t.pos += n

    def pass_(self, period=10):
        beat = 60000 // self.tempo
        acc = self.division * period + self.remainder
        ticks, self.remainder = divmod(acc, beat)
        if ticks <= 0:
            return
        for i, t in enumerate(self.tracks):
            if t.ended or not self.playing:
                continue
            t.pending += ticks
            while not t.ended and t.pos < len(t.data) and self.playing:
                d, _ = vlq(t.data, t.pos)
                if d > t.pending:
                    break
                d, t.pos = vlq(t.data, t.pos)
                t.pending -= d
                self.event(i)
                if not t.ended and t.pos >= len(t.data):
                    t.ended = True
                    self.eot()


def unrolled(sent):
    """One track, division 500 at 120 bpm: one tick per millisecond."""
    out = bytearray()
    last = 0
    for ms, msg in sent:
        d = ms - last
        last = ms
        enc = [d & 0x7F]
        d >>= 7
        while d:
            enc.insert(0, 0x80 | (d & 0x7F))
            d >>= 7
        out += bytes(enc)
        if msg[0] == 0xF0:
            out += b'\xF0' + bytes([len(msg) - 1]) + msg[1:]
        else:
            out += msg
    out += b'\x00\xFF\x2F\x00'
    return b'MThd' + struct.pack('>IHHH', 6, 0, 1, 500) + b'MTrk' + struct.pack('>I', len(out)) + bytes(out)


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    seconds = float(argv[argv.index('--seconds') + 1]) if '--seconds' in argv else 150.0
    loop = '--once' not in argv
    with open(argv[1], 'rb') as f:
        p = Player(f.read(), loop)
    while p.playing and p.now < seconds * 1000:
        p.pass_()
        p.now += 10
    for ms, text in p.events:
        print('%8.2f s  %s' % (ms / 1000.0, text))
    if not p.playing:
        print('%8.2f s  (stopped)' % (p.now / 1000.0))
    if '--unroll' in argv:
        # end with every note released, as the game's Stop does
        tail = [(p.now, bytes([0xB0 | ch, 123, 0])) for ch in range(16)]
        with open(argv[argv.index('--unroll') + 1], 'wb') as f:
            f.write(unrolled(p.sent + tail))
    for prob in p.problems:
        print('problem: ' + prob)
    return 1 if p.problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
