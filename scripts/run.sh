#!/usr/bin/env bash
# Starts the game, or says plainly how to play where no display is found.
set -u
game=$1
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec "$game"   # the game itself explains the ways to play without a display
fi
echo "trotix: starting $game (your horse is saved every ten seconds and when you quit)"
exec "$game"
