#!/usr/bin/env bash
# Sets up, builds and runs every test:
# 1. the normal build: unit and end-to-end tests, and the golden whole-game replays; then
#    its Debian package, checked and its program run from an extracted copy;
# 2. a clang build with AddressSanitizer and UndefinedBehaviorSanitizer, also instrumented
#    for fuzzing: the same tests (but the golden replays, which ran above), a short soak
#    with random keys on every screen, and a short fuzz of each file reader.
set -euo pipefail
cd "$(dirname "$0")/.."
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
jobs=$(nproc)

scripts/setup.sh build
ctest --test-dir build --output-on-failure -j "$jobs"
scripts/package.sh build
scripts/check-package.sh build/vexa_*.deb

# clang and its sanitizer and libFuzzer runtimes for the second build.
. scripts/packages.sh
ensure_packages clang libclang-rt-14-dev
CC=clang CXX=clang++ scripts/setup.sh build-sanitize -DVEXA_SANITIZE=ON -DVEXA_FUZZ=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -E GoldenReplay
scripts/soak.sh 2 build-sanitize
FUZZ_BUILD=build-sanitize scripts/fuzz.sh 15
