#!/usr/bin/env bash
# Renders a golden game to WAV with the replay runner and prints what a player's ears would
# meet: the peak, the clipped samples, and the loudness (RMS) of the whole mix, of the sound
# effects alone and of the music alone. The same game is rendered three times, the second
# and third with the music and then the effects at 0 % (vexa-replay --volume); a run with a
# seed is deterministic, so the three hear the same game.
# Usage: scripts/audio-check.sh [SCRIPT] [BUILD_DIR]
#   SCRIPT     a replay script (default tests/e2e/golden/endless_hard.txt)
#   BUILD_DIR  where vexa-replay is built (default build; built when missing)
# KEEP=DIR keeps the three WAVs there (mix.wav, effects.wav, music.wav).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

script="${1:-tests/e2e/golden/endless_hard.txt}"
case "$script" in /*) ;; *) script="$root/$script" ;; esac
build_dir="${2:-build}"
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac
runner="$build_dir/vexa-replay"
[ -x "$runner" ] || scripts/setup.sh "$build_dir"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out="${KEEP:-$work}"
mkdir -p "$out"

render() {  # NAME EFFECTS,MUSIC
  mkdir -p "$work/$1"
  (cd "$work/$1" && "$runner" --seed 1 --volume "$2" --wav "$out/$1.wav" "$script" > /dev/null)
}
render mix 100,100
render effects 100,0
render music 0,100

python3 - "$out/mix.wav" "$out/effects.wav" "$out/music.wav" "$(basename "$script")" <<'EOF'
import array, math, sys, warnings, wave
with warnings.catch_warnings():
    warnings.simplefilter('ignore')
    import audioop  # C speed for the sums of squares

def measure(path):
    with wave.open(path, 'rb') as w:
        assert w.getsampwidth() == 2, 'expects 16-bit samples'
        rate, channels, frames = w.getframerate(), w.getnchannels(), w.getnframes()
        peak = clipped = 0
        squares = 0.0
        clipped_seconds = 0
        while True:
            data = w.readframes(rate)  # one second at a time
            if not data:
                break
            a = array.array('h', data)
            if sys.byteorder == 'big':
                a.byteswap()
            hi, lo = max(a), min(a)
            peak = max(peak, hi, -lo)
            c = a.count(32767) + a.count(-32768)
            clipped += c
            clipped_seconds += 1 if c else 0
            squares += float(audioop.rms(data, 2)) ** 2 * len(a)
        n = frames * channels
        rms = math.sqrt(squares / n) / 32768.0 if n else 0.0
    return rate, channels, frames / rate, peak, clipped, clipped_seconds, rms

def db(x):
    return 20 * math.log10(x) if x > 0 else float('-inf')

print('audio check: %s, seed 1' % sys.argv[4])
rows = []
for label, path in zip(('mix', 'effects alone', 'music alone'), sys.argv[1:4]):
    rate, ch, secs, peak, clipped, csecs, rms = measure(path)
    rows.append(rms)
    print('%-14s %5d Hz %d ch %6.1f s  peak %7.2f dBFS (%5d)  clipped %6d samples in %3d s  RMS %7.2f dBFS'
          % (label, rate, ch, secs, db(peak / 32768.0), peak, clipped, csecs, db(rms)))
print('effects above music: %.1f dB (RMS)' % (db(rows[1]) - db(rows[2])))
EOF
