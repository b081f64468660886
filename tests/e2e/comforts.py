#!/usr/bin/env python3
"""The desktop comforts of a 3x game on a 1280 x 1024 X server: F1 (the keyboard the game's own
without a window manager) and the right-click menu open the help, Escape closes it; P pauses and
resumes; full screen remembered, TROTIX_SCALE=1 still wins. Under openbox, leaving full screen puts
the window back where it was, frame and all, also after a start in full screen.

Usage: comforts.py <game binary> <pictures folder>; exits 77 without Xvfb, xdotool, openbox or xprop.
"""
import os
import shutil
import subprocess
import sys
import time

import xsession as rig

rig.NAME = "comforts"

SCREEN = (1280, 1024)


def frame_corner(display, window):
    """The top left corner of the frame the window manager drew round the window."""
    values = rig.geometry(display, window)
    extents = subprocess.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"], env=dict(os.environ, DISPLAY=display),
                             capture_output=True, text=True).stdout.partition("=")[2].split(",")
    if len(extents) != 4:
        return None
    left, _, top, _ = map(int, extents)
    return values["X"] - left, values["Y"] - top


def help_windows(display):
    return rig.xdo(display, "search", "--onlyvisible", "--name", "How to play").split()


def start(home, display, log, scale=None):
    game, window = rig.start_game(home, display, log, scale)
    rig.wait_for(log, "trotix: Action>>", 20)
    return game, window


def close_help(display):
    rig.wait_until("the help window", lambda: help_windows(display))
    rig.press(display, help_windows(display)[0], ["Escape"])
    rig.wait_until("the help window to close", lambda: not help_windows(display))


def main():
    if not shutil.which("openbox") or not shutil.which("xprop"):
        print("comforts: openbox or xprop missing, skipped")
        return rig.SKIP
    root, display = rig.start_xvfb("%dx%dx24" % SCREEN)
    home = rig.make_home(root, "home",
                         "COMFY|HORSE||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n")
    log = os.path.join(root, "game.log")
    game, window = start(home, display, log)
    if rig.size(display, window) != (720, 960):
        rig.fail("expected a 3x window, got %r" % (rig.size(display, window),))
    if rig.xdo(display, "getwindowname", window).strip() != "COMFY HORSE \u2014 Trotix":
        rig.fail("the title does not name the horse: %r" % rig.xdo(display, "getwindowname", window))

    # F1 opens the help, Escape closes it; the right-click menu's first entry opens it too. No window
    # manager yet, and the pointer off the window: F1 reaches the game only because it took the
    # keyboard itself, as a window manager would have given it.
    rig.xdo(display, "mousemove", SCREEN[0] - 1, SCREEN[1] - 1)
    rig.xdo(display, "key", "F1")
    close_help(display)
    rig.click(display, window, (360, 480), 3)
    time.sleep(0.5)
    rig.xdo(display, "key", "Down", "Return")
    close_help(display)
    # (R and the book at the game's zoom: the films, and R and Escape on a real X server: strangefiles.py.)

    # P: the tick stops (nothing logged for three seconds), and P again starts it.
    rig.press(display, window, ["p"])
    rig.wait_for(log, "trotix: Paused", 15)
    ticks = lambda: rig.read(log).count("trotix: Action>>")
    held = ticks()
    time.sleep(3)
    if ticks() != held:
        rig.fail("the tick went on while paused")
    rig.press(display, window, ["p"])
    rig.wait_for(log, "trotix: Play goes on", 15)
    rig.wait_until("a tick after the pause", lambda: ticks() > held)

    # Full screen (F11 and Escape themselves: fullscreen.py) is remembered on the next start;
    # TROTIX_SCALE still wins.
    rig.press(display, window, ["F11"])
    rig.wait_until("a full screen", lambda: rig.size(display, window) == SCREEN)
    for scale, size in ((None, SCREEN), ("1", (240, 320))):
        rig.stop(game)
        game, window = start(home, display, log, scale)
        rig.wait_until("a started window of %r" % (size,), lambda: rig.size(display, window) == size)

    # Under a window manager F11 twice puts the window back at its place, frame and all; a start in
    # full screen and Escape leave the frame on the screen.
    rig.stop(game)
    rig.start_openbox(display)
    game, window = start(home, display, log, "2")
    rig.wait_until("a framed window", lambda: frame_corner(display, window))
    placed = frame_corner(display, window)
    for size in (SCREEN, (480, 640)):
        rig.press(display, window, ["F11"])
        rig.wait_until("a window of %r" % (size,), lambda: rig.size(display, window) == size)
    rig.wait_until(lambda: "the frame back at %r, not %r" % (placed, frame_corner(display, window)),
                   lambda: frame_corner(display, window) == placed)
    rig.press(display, window, ["F11"])
    rig.stop(game)
    game, window = start(home, display, log)
    rig.wait_until("a full screen", lambda: rig.size(display, window) == SCREEN)
    rig.press(display, window, ["Escape"])
    on_screen = lambda: rig.size(display, window) != SCREEN and min(frame_corner(display, window) or (-1,)) >= 0
    rig.wait_until(lambda: "the frame on the screen, not at %r" % (frame_corner(display, window),), on_screen)
    return 0


if __name__ == "__main__":
    sys.exit(rig.run(main))
