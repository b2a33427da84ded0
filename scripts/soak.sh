#!/usr/bin/env bash
# Soak: a scripted prelude from the golden replays (from 20 minutes on all 50 puzzle stages
# and the ending, else the menu branches with a reward picture), then MINUTES of game time
# (default 60) with random keys on every screen, in the build with
# AddressSanitizer and UndefinedBehaviorSanitizer (leaks checked at exit). Prints the resident
# memory as the run goes and fails on any sanitizer report, a non-zero exit, or memory that
# keeps growing (more than GROWTH_KB, default 8192, between the first and the last quarter of
# a run of 8 minutes or more; the sanitizer's quarantine of freed memory is kept small so
# that the resident memory means something).
# Usage: scripts/soak.sh [MINUTES] [BUILD_DIR]   (BUILD_DIR default build-asan, built if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-60}"
build="${2:-build-asan}"
growth_kb="${GROWTH_KB:-8192}"

if [ ! -x "$build/vexa-replay" ]; then
  scripts/setup.sh "$build" -DVEXA_SANITIZE=ON
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One random stretch a game minute (3000 frames of 20 ms), each with its own seed.
prelude=tests/e2e/golden/menus_and_branches.txt
[ "$minutes" -ge 20 ] && prelude=tests/e2e/golden/puzzle_all_stages.txt
{
  echo "mem"
  cat "$prelude"
  for ((m = 1; m <= minutes; m++)); do
    # a minute in twenty stretches, the screen showing noted after each; the runner draws
    # only the frames a shot takes, so each stretch ends with one to keep every screen's
    # drawing under the sanitizers
    for ((k = 1; k <= 20; k++)); do
      echo "random 150 $((m * 100 + k))"
      echo "dump"
      echo "shot soak"
    done
    echo "mem"
  done
  echo "dump"
} > "$work/soak.txt"

echo "soak: $minutes min of game time in $build"
start=$(date +%s)
status=0
(cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
   ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=16 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
   "$OLDPWD/$build/vexa-replay" --seed 7 soak.txt > out.txt 2> err.txt) || status=$?
elapsed=$(( $(date +%s) - start ))

grep '^mem ' "$work/out.txt" | awk 'NR == 1 || NR % 10 == 1 { print "  " $0 }'
echo "  screens seen: $(grep -o '^tick=[0-9]* mode=[A-Za-z]*' "$work/out.txt" | sed 's/.*mode=//' | sort | uniq -c | awk '{printf "%s %s, ", $2, $1}')"
if [ $status -ne 0 ] || grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$work/err.txt"; then
  echo "soak: FAILED (exit $status)"
  grep -E -A30 'ERROR: |runtime error:' "$work/err.txt" | head -60
  exit 1
fi
# Memory: the mean of the first and of the last quarter of the samples after the first.
read -r first last <<<"$(grep '^mem ' "$work/out.txt" | sed 's/.*rss_kb=\([0-9]*\).*/\1/' | awk '
  NR > 1 { v[++n] = $1 }
  END { q = int(n / 4); if (q < 1) q = 1;
        for (i = 1; i <= q; i++) a += v[i]; for (i = n - q + 1; i <= n; i++) b += v[i];
        printf "%d %d\n", a / q, b / q }')"
echo "soak: ${elapsed}s wall; RSS first quarter ${first} KB, last quarter ${last} KB"
if [ "$minutes" -ge 8 ] && [ $((last - first)) -gt "$growth_kb" ]; then
  echo "soak: FAILED: memory grew by $((last - first)) KB"
  exit 1
fi
echo "soak: passed"
