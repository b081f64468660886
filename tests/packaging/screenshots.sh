#!/usr/bin/env bash
# The screenshot tool writes every screen, at 1x and zoomed, and the repository's gallery holds
# every screen the tool knows.
# usage: screenshots.sh SOURCE_DIR TOOL
set -euo pipefail
. "$(dirname "$0")/common.sh"
src=$1 tool=$2
need file file
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

names=$(QT_QPA_PLATFORM=offscreen "$tool" --list)
[ "$(echo "$names" | wc -l)" -ge 22 ] || fail "the tool knows only $(echo "$names" | wc -l) screens"
QT_QPA_PLATFORM=offscreen "$tool" "$work/1x" >"$work/log" || { cat "$work/log" >&2; fail "the tool failed"; }
QT_QPA_PLATFORM=offscreen "$tool" "$work/2x" --scale 2 idle race-mid >>"$work/log" || fail "the tool failed at 2x"
for name in $names; do
  file "$work/1x/$name.png" | grep -q 'PNG image data, 240 x 320,' || fail "$name.png: $(file -b "$work/1x/$name.png")"
  [ -f "$src/docs/screenshots/$name.png" ] || fail "docs/screenshots/$name.png is not committed (make screenshots)"
done
for name in idle race-mid; do
  file "$work/2x/$name.png" | grep -q 'PNG image data, 480 x 640,' || fail "2x $name.png: $(file -b "$work/2x/$name.png")"
done
echo "ok: $(echo "$names" | wc -l) screens"
