#!/usr/bin/env bash
# Builds the Debian package vexa_<version>_amd64.deb in the build directory (by default
# build), after setting up and building like scripts/setup.sh. Install it with
#   sudo apt install ./build/vexa_*.deb
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
# dpkg-shlibdeps (dpkg-dev) works out the libraries' packages; CPack asks file(1) which
# installed files are programs.
ensure_packages dpkg-dev file

build_dir="${1:-build}"
scripts/setup.sh "$build_dir"
rm -f "$build_dir"/vexa_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
ls "$build_dir"/vexa_*.deb
