#!/usr/bin/env bash
# The menu entry and the AppStream metadata pass their validators, and the application tells the
# desktop the same id (so windows group under the menu entry's icon).
# usage: validate.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"
src=$1 build=$2
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
desktop=$(ls "$src"/packaging/*.desktop)
id=$(basename "$desktop" .desktop)
metainfo=$build/packaging/$id.metainfo.xml
[ -f "$metainfo" ] || fail "no configured metainfo at $metainfo"

desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Categories=Game;[A-Za-z]*;' "$desktop" || fail "Categories must be Game; and one subcategory"
# With the network checks: every URL the metadata names must really be there.
appstreamcli validate --pedantic "$metainfo" || fail "appstreamcli validate"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
# Software centres match these against the device: every way to play, and the handheld's screen.
for control in pointing keyboard touch gamepad; do
  grep -q "<control>$control</control>" "$metainfo" || fail "the metainfo does not name the $control control"
done
size() { sed -n "s/^constexpr int device$1 = \([0-9]*\);/\1/p" "$src/src/platform/rules/screenscale.h"; }
grep -q "<display_length compare=\"ge\">$(size Width)</display_length>" "$metainfo" \
  && grep -q "<display_length side=\"longest\" compare=\"ge\">$(size Height)</display_length>" "$metainfo" \
  || fail "the metainfo's display_length is not the picture's $(size Width) x $(size Height)"
grep -q "setDesktopFileName(QStringLiteral(\"$id\"))" "$src/src/platform/qpeapplication.cpp" \
  || fail "the application announces another desktop id than $id"
# Every screenshot the metainfo names is one the repository holds.
for shot in $(grep -o '/2x/[a-z-]*\.png' "$metainfo"); do
  [ -f "$src/docs/screenshots$shot" ] || fail "docs/screenshots$shot is not committed"
done
echo "ok: $id validates"
