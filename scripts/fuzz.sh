#!/usr/bin/env bash
# Builds the fuzz targets (clang with libFuzzer, AddressSanitizer and UBSan) in build-fuzz,
# runs every saved crash input under tests/fuzz-regressions/<target>/ through its target
# once, then fuzzes each target for SECONDS seconds, one after the other, from seeds made of
# the game's own resources, save files, replay scripts and settings files.
#
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (default 20, every target)
#   FUZZ_CORPUS=DIR   keep the grown corpus in DIR/<target> across runs (default: a
#                     temporary folder removed at the end)
#   FUZZ_JOBS=N       parallel build jobs (default: every processor)
#   FUZZ_BUILD=DIR    use this build folder, already configured with -DVEXA_FUZZ=ON (the
#                     tests' sanitizer build is one), instead of making build-fuzz
# Exit status: 0 when nothing was found; 1 when a saved input or the fuzzing crashed, leaked,
# hung or ran out of memory (the input is kept under build-fuzz/findings/ and its path and
# the end of the log are printed); 2 when the targets cannot be built.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_bmp fuzz_wav fuzz_smf fuzz_savefile fuzz_script fuzz_settings fuzz_replay fuzz_stageset)
start=$SECONDS

# clang with the libFuzzer and sanitizer runtimes, and the game's own build dependencies.
packages=(clang libclang-rt-14-dev cmake ninja-build pkg-config
          libsdl2-dev libsdl2-ttf-dev libfluidsynth-dev libfontconfig-dev)
. scripts/packages.sh
ensure_packages "${packages[@]}"

build="${FUZZ_BUILD:-build-fuzz}"
if [ -z "${FUZZ_BUILD:-}" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVEXA_FUZZ=ON -DVEXA_TESTS=OFF >/dev/null || { echo "fuzz: cannot configure $build" >&2; exit 2; }
fi
if ! ninja -C "$build" -j "${FUZZ_JOBS:-$(nproc)}" "${targets[@]}"; then
  echo "fuzz: the targets do not build" >&2
  exit 2
fi
echo "fuzz: built in $((SECONDS - start)) s"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings="$build/findings"
mkdir -p "$findings"
corpus_root="${FUZZ_CORPUS:-$work/corpus}"

# Seeds, one folder per target.
seeds="$work/seeds"
for target in fuzz_bmp fuzz_wav fuzz_smf fuzz_savefile fuzz_script fuzz_settings fuzz_replay fuzz_stageset "${targets[@]}"; do
  mkdir -p "$seeds/$target"
done
cp resources/BITMAP/*.bmp "$seeds/fuzz_bmp/"
cp resources/WAVE/*.wav "$seeds/fuzz_wav/"
for f in resources/MIDI/*.mid; do
  # The smf target reads its first byte as the loop flag: each song once with and once
  # without.
  name=$(basename "$f" .mid)
  { printf '\0'; cat "$f"; } > "$seeds/fuzz_smf/$name-once"
  { printf '\1'; cat "$f"; } > "$seeds/fuzz_smf/$name-loop"
done
cp tools/fuzz/seeds/savefile/* "$seeds/fuzz_savefile/"
cp tests/e2e/*.txt "$seeds/fuzz_script/"
cp tools/fuzz/seeds/settings/* "$seeds/fuzz_settings/"
cp tools/fuzz/seeds/replay/* "$seeds/fuzz_replay/"
cp tools/fuzz/seeds/stageset/* data/stages/*.vexa-stages "$seeds/fuzz_stageset/"
# Inputs that once crashed seed their target too: the fuzzing starts from what was hard.
for dir in tests/fuzz-regressions/*/; do
  [ -d "$dir" ] && [ -d "$seeds/$(basename "$dir")" ] && cp "$dir"* "$seeds/$(basename "$dir")/" 2>/dev/null
done

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
opts=(-rss_limit_mb=2048 -timeout=10 -print_final_stats=1)
max_len() {
  case "$1" in
    fuzz_bmp | fuzz_wav) echo 65536 ;;
    fuzz_smf) echo 32768 ;;
    fuzz_settings) echo 20000 ;;  # past the reader's own limit
    fuzz_replay) echo 32768 ;;
    fuzz_stageset) echo 8192 ;;  # the shipped set of 50 stages and more
    *) echo 4096 ;;
  esac
}

status=0
fail() {  # target, log, what
  echo "FAIL $1: $3"
  local input
  input=$(grep -oE "(Test unit written to|Running:) [^ ]+" "$2" | tail -1 | awk '{print $NF}' || true)
  [ -n "$input" ] && echo "  input: $input"
  echo "  log: $2 (last lines follow)"
  tail -30 "$2" | sed 's/^/  | /'
  status=1
}

# 1. Every saved crash input once.
for target in "${targets[@]}"; do
  dir="tests/fuzz-regressions/$target"
  [ -d "$dir" ] || continue
  mapfile -t files < <(find "$dir" -type f | sort)
  [ ${#files[@]} -gt 0 ] || continue
  log="$findings/$target-regressions.log"
  if "$build/$target" "${opts[@]}" "${files[@]}" >"$log" 2>&1; then
    echo "regressions $target: ${#files[@]} inputs pass"
  else
    fail "$target" "$log" "a saved input fails again"
  fi
done

# 2. Fuzzing, one target at a time.
for target in "${targets[@]}"; do
  corpus="$corpus_root/$target"
  mkdir -p "$corpus"
  log="$findings/$target.log"
  if ! "$build/$target" "${opts[@]}" -max_total_time="$seconds" -max_len="$(max_len "$target")" \
       -artifact_prefix="$findings/$target-" "$corpus" "$seeds/$target" >"$log" 2>&1; then
    fail "$target" "$log" "finding"
    continue
  fi
  line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -1 || true)
  execs=$(sed -nE 's/^stat::number_of_executed_units:[[:space:]]*([0-9]+).*/\1/p' "$log")
  rate=$(sed -nE 's/^stat::average_exec_per_sec:[[:space:]]*([0-9]+).*/\1/p' "$log")
  cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$line")
  ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$line")
  files=$(find "$corpus" -type f | wc -l)
  printf '%-14s execs %-9s exec/s %-6s cov %-6s ft %-6s corpus %s\n' \
    "$target" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$files"
done
echo "fuzz: done in $((SECONDS - start)) s"
exit $status
