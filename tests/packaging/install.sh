#!/usr/bin/env bash
# `cmake --install` into a scratch root: everything lands where GNUInstallDirs says, and the
# installed game, with no QPEDIR and no build tree to lean on, starts and ticks headless: on a
# desktop-sized screen, zoomed by TROTIX_SCALE, and on a 240 x 320 screen.
# usage: install.sh SOURCE_DIR BUILD_DIR SMALL_SCREEN_CONFIG
set -euo pipefail
. "$(dirname "$0")/common.sh"
src=$1 build=$2 small=$3
need file file
[ -e /home/QtPalmtop ] && { echo "SKIP: /home/QtPalmtop exists: the game would play from there"; exit 77; }
id=$(basename "$(ls "$src"/packaging/*.desktop)" .desktop)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

DESTDIR=$work/root cmake --install "$build" --prefix /opt/trotix >"$work/install.log" \
  || { cat "$work/install.log" >&2; fail "cmake --install"; }
check_layout "$work/root" /opt/trotix "$id"
# Only the game's own files: nothing from the build's tests, tools or fuzzers.
extra=$(cd "$work/root/opt/trotix" && find . -type f | grep -v -e '^./bin/trotix$' -e '^./share/' || true)
[ -z "$extra" ] || fail "unexpected files installed: $extra"

run_installed "$work/root/opt/trotix/bin/trotix" "$work/run1"
run_installed "$work/root/opt/trotix/bin/trotix" "$work/run2" TROTIX_SCALE=2
run_installed "$work/root/opt/trotix/bin/trotix" "$work/run3" "QT_QPA_PLATFORM=offscreen:configfile=$small"
