#!/usr/bin/env bash
# Checks a built Debian package of the game: its control fields and file list, its desktop
# entry, AppStream metadata and manual page, then the packaged program itself, extracted
# into a temporary root: its version, its command line, and a first frame under SDL's
# dummy video driver. Fails (status 1) on the first thing missing or wrong.
# Usage: scripts/check-package.sh DEB
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages dpkg-dev desktop-file-utils appstream mandoc

deb="$1"
fail() { echo "check-package: $*" >&2; exit 1; }

dpkg-deb --info "$deb" >/dev/null || fail "$deb is not a Debian package"
version=$(dpkg-deb --field "$deb" Version)
depends=$(dpkg-deb --field "$deb" Depends)
for dep in timgm6mb-soundfont fonts-ipafont-gothic libsdl2-2.0-0 libsdl2-ttf-2.0-0 \
           libfluidsynth3 libfontconfig1; do
  [[ "$depends" == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in ./usr/games/vexa ./usr/share/applications/vexa.desktop \
         ./usr/share/icons/hicolor/48x48/apps/vexa.png \
         ./usr/share/icons/hicolor/128x128/apps/vexa.png \
         ./usr/share/icons/hicolor/256x256/apps/vexa.png \
         ./usr/share/man/man6/vexa.6.gz ./usr/share/doc/vexa/copyright \
         ./usr/share/doc/vexa/changelog.gz ./usr/share/locale/en/LC_MESSAGES/vexa.mo \
         ./usr/share/mime/packages/vexa.xml ./usr/share/vexa/stages/vexa.vexa-stages; do
  grep -qxF "$f" <<<"$contents" || fail "the package lacks $f"
done
grep -qE '^\./usr/share/metainfo/.+\.metainfo\.xml$' <<<"$contents" ||
  fail "the package lacks its AppStream metadata"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb --extract "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/vexa.desktop"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
  fail "the AppStream metadata does not validate"
grep -qF "version=\"$version\"" "$root"/usr/share/metainfo/*.metainfo.xml ||
  fail "the AppStream metadata has no release $version"
mandoc -T lint -W warning "$root/usr/share/man/man6/vexa.6.gz" || fail "the manual page has faults"

# The packaged program, run from the temporary root with a home of its own there.
vexa="$root/usr/games/vexa"
export HOME="$root/home" XDG_DATA_HOME="$root/home/data" XDG_CONFIG_HOME="$root/home/config"
mkdir -p "$HOME"
cd "$HOME"
[ "$("$vexa" --version)" = "vexa $version" ] || fail "--version does not print vexa $version"
"$vexa" --help | grep -q -- "--save-dir" || fail "--help does not list the options"
status=0; "$vexa" --no-such-option 2>err.txt || status=$?
[ "$status" = 2 ] && grep -q "^usage: vexa" err.txt || fail "an unknown option does not exit 2 with the usage"
status=0; env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$vexa" 2>err.txt || status=$?
[ "$status" = 1 ] && [ "$(wc -l <err.txt)" = 1 ] && grep -q "graphical desktop" err.txt ||
  fail "without a display the game does not exit 1 in one line (status $status)"
# The first frame under the dummy driver, with the save folder made on the way; then with a
# save folder that cannot be made, where the game runs on.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VEXA_EXIT_AFTER_FIRST_FRAME=1 \
  timeout 60 "$vexa" --save-dir "$root/saves/one" 2>err.txt || { cat err.txt; fail "no first frame"; }
grep -q "first frame presented" err.txt || { cat err.txt; fail "no first frame reported"; }
[ -d "$root/saves/one" ] || fail "--save-dir did not make its folder"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VEXA_EXIT_AFTER_FIRST_FRAME=1 \
  timeout 60 "$vexa" --save-dir /proc/vexa 2>err.txt || { cat err.txt; fail "an unusable --save-dir stops the game"; }
grep -q "first frame presented" err.txt || { cat err.txt; fail "no first frame with an unusable --save-dir"; }
echo "check-package: $deb ($version) is complete and its program runs"
