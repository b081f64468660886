#!/usr/bin/env bash
# The Debian package: built by CPack (so by `cmake --install`), with the right control fields and
# only the game's own files, its dependencies resolvable by apt, and the game in it starting
# headless from an unpacked root.
# usage: deb.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"
src=$1 build=$2
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need file file
need lintian lintian
[ -e /home/QtPalmtop ] && { echo "SKIP: /home/QtPalmtop exists: the game would play from there"; exit 77; }
id=$(basename "$(ls "$src"/packaging/*.desktop)" .desktop)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack --config CPackConfig.cmake -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/out/trotix_*.deb)
[ "$(basename "$deb")" = "trotix_$(dpkg-deb -f "$deb" Version)_$(dpkg --print-architecture).deb" ] || fail "file name $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = trotix ] && [ "$(field Section)" = games ] || fail "Package/Section: $(field Package)/$(field Section)"
depends=$(field Depends)
for dep in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6multimedia6 libsdl2-2.0-0; do
  echo "$depends" | grep -Eq "(^|, )$dep( |,|$)" || fail "Depends lacks $dep: $depends"
done
# The font the texts were measured with, and no other offered in its place: a wider sans would
# push texts off the screen and out of their buttons.
echo "$depends" | grep -Eq "(^|, )fonts-urw-base35(,|$)" || fail "Depends lacks fonts-urw-base35 alone: $depends"
field Description | sed -n '2,$p' | grep -qv '^ ' && fail "a description line is not indented"

dpkg-deb --contents "$deb" >"$work/contents"
outside=$(awk '{print $6}' "$work/contents" | grep -v -e '^\./usr/' -e '^\./$' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
grep -q ' \./usr/local/' "$work/contents" && fail "files under /usr/local in a package"
# Only the game's own files: nothing from the build's tests, tools or fuzzers.
extra=$(awk '{print $6}' "$work/contents" | grep -v -e '/$' -e '^\./usr/games/trotix$' -e '^\./usr/share/' \
        -e '^\./usr/lib/\([a-z0-9_-]*/\)\?trotix/trotix-\(sound\|pad\)\.so$' || true)
[ -z "$extra" ] || fail "unexpected files packaged: $extra"

# Debian's own checks of a package: not one error or warning (root only runs it with a remark).
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log" >&2; fail "lintian"; }
grep -E '^[EW]: ' "$work/lintian.log" && fail "lintian has errors or warnings"
echo "ok: lintian"

dpkg-deb -x "$deb" "$work/root"
check_layout "$work/root" /usr "$id"
# The entry and metadata as validate.sh checks them; the zooms and screens as tst_window presents them.
run_installed "$work/root/usr/games/trotix" "$work/run"

# apt finds everything the package depends on (as on a fresh Debian 12 after apt-get update).
if command -v apt-get >/dev/null 2>&1; then
  apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log" >&2; fail "apt-get cannot resolve the package's dependencies"; }
  grep -q '^Inst trotix ' "$work/apt.log" || { cat "$work/apt.log" >&2; fail "apt-get would not install trotix"; }
  echo "ok: apt-get --simulate resolves the dependencies"
fi
echo "ok: $(basename "$deb")"
