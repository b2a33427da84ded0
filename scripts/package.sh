#!/usr/bin/env bash
# Builds the Debian package vexa_<version>_amd64.deb in the build directory (by default
# build). A build directory not configured yet is set up and built by scripts/setup.sh;
# one that is gets only what the package holds brought up to date. Install it with
#   sudo apt install ./build/vexa_*.deb
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
# dpkg-shlibdeps (dpkg-dev) works out the libraries' packages; CPack asks file(1) which
# installed files are programs.
ensure_packages dpkg-dev file

build_dir="${1:-build}"
if [ -f "$build_dir/build.ninja" ]; then
  ninja -C "$build_dir" vexa translations docs
else
  scripts/setup.sh "$build_dir"
fi
rm -f "$build_dir"/vexa_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
ls "$build_dir"/vexa_*.deb
