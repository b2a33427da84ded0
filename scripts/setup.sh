#!/usr/bin/env bash
# Installs what the game needs on a Debian machine (only what is missing), then configures
# and builds it. Usage: scripts/setup.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

packages=(build-essential cmake ninja-build pkg-config
          libsdl2-dev libsdl2-ttf-dev libfluidsynth-dev libfontconfig-dev
          timgm6mb-soundfont fonts-ipafont-gothic fontconfig gettext
          libgtest-dev libgmock-dev)
ensure_packages "${packages[@]}"

build_dir="${1:-build}"
shift || true
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
ninja -C "$build_dir"
