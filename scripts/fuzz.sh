#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for a bounded
# time over a corpus seeded from the game's own resources.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"

need=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi

CC=clang CXX=clang++ scripts/setup.sh build-fuzz -DVEXA_FUZZ=ON -DVEXA_TESTS=OFF

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/{fuzz_bmp,fuzz_wav,fuzz_smf,fuzz_savefile,fuzz_script}
cp resources/BITMAP/*.bmp "$work/fuzz_bmp/" 2>/dev/null || true
cp resources/WAVE/*.wav "$work/fuzz_wav/" 2>/dev/null || true
cp resources/MIDI/*.mid "$work/fuzz_smf/" 2>/dev/null || true
printf 'wait 3\ndown ENTER\nup ENTER\ntap Z\nshot a\ndump\n' > "$work/fuzz_script/seed.txt"
head -c 308 /dev/zero > "$work/fuzz_savefile/zero.dat"
for dir in tests/fuzz-regressions/*/; do
  [ -d "$dir" ] && cp "$dir"* "$work/$(basename "$dir")/" 2>/dev/null || true
done

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for target in fuzz_bmp fuzz_wav fuzz_smf fuzz_savefile fuzz_script; do
  [ -x "build-fuzz/$target" ] || continue
  echo "== $target (${seconds}s)"
  if ! "build-fuzz/$target" -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=2048 \
       -artifact_prefix="$work/" "$work/$target" 2>"$work/$target.log"; then
    tail -40 "$work/$target.log"
    status=1
  else
    grep -E '^#[0-9]+.*(DONE|pulse)' "$work/$target.log" | tail -1 || true
  fi
done
exit $status
