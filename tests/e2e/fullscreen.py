#!/usr/bin/env python3
"""Full screen always comes back: on 640 x 480 and 1280 x 1024 X screens, without a window manager
and under openbox, from a windowed and from a full-screen start, F11 toggles, Escape leaves, and
the window menu's "Full screen" entry toggles it and is ticked exactly while the window is full.

Usage: fullscreen.py <game binary> <pictures folder>; exits 77 without Xvfb, xdotool, openbox,
xprop or ImageMagick's import.
"""
import itertools
import os
import shutil
import subprocess
import sys
import time

import xsession as rig

rig.NAME = "fullscreen"
HORSE = "FULL|SCREEN||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n"
STEPS = ["F11", "F11", "Escape", "menu", "Escape", "menu", "F11", "menu"]
RIM = "srgb(138,106,58)"  # a ticked entry's square, the menu's border and separators


def ticked_entries(display, popup):
    """The ticked entries above the menu's first separator: Sound alone, or Full screen and Sound."""
    g = rig.geometry(display, popup)
    crop = "%dx%d+%d+%d" % (g["WIDTH"] // 8, g["HEIGHT"], g["X"], g["Y"])
    pixels = subprocess.run(["import", "-window", "root", "-crop", crop, "txt:-"], env=dict(os.environ, DISPLAY=display),
                            capture_output=True, text=True).stdout.splitlines()[1:]
    marked = [int(line.split(",")[1].split(":")[0]) for line in pixels if line.endswith(RIM)]
    rows = sorted({row for row in marked if marked.count(row) >= 6})  # more than the border
    runs = [len(list(run)) for _, run in itertools.groupby(rows, lambda row, at=itertools.count(): row - next(at))]
    # The border and a separator are lines, a square is as tall as the text.
    return len("".join("#" if run >= 6 else "-" for run in runs).lstrip("-").split("-")[0])


def open_menu(display, window, full, when):
    """Opens the window menu and reads its Full screen entry."""
    rig.click(display, window, (30, 100), 3)
    rig.wait_until("the window menu", lambda: rig.popups(display, rig.started[-1], window))
    time.sleep(0.5)
    if ticked_entries(display, rig.popups(display, rig.started[-1], window)[0]) != (2 if full else 1):
        rig.fail("%s: the Full screen entry is %sticked in a %s window"
                 % (when, "not " if full else "", "full" if full else "normal"))


def play_row(display, root, screen, manager, full):
    row = "%dx%d %s, %s start" % (*screen, "openbox" if manager else "no manager", "full" if full else "windowed")
    home = rig.make_home(root, row.replace(" ", "-").replace(",", ""), HORSE)
    os.makedirs(os.path.join(home, "config", "trotix"))
    with open(os.path.join(home, "config", "trotix", "trotix.ini"), "w") as settings:
        # A screen too small for 2x starts in full screen unless the player left it.
        settings.write("" if full and screen[0] < 1280 else "[window]\nfullScreen=%s\n" % str(full).lower())
    log = os.path.join(root, row + ".log")
    game, window = rig.start_game(home, display, log, None)
    rig.wait_for(log, "trotix: Action>>", 20)
    for key in ["start"] + STEPS:
        if key == "menu":
            rig.xdo(display, "key", "Down", "Down", "Down", "Return")  # How to play, Pause, Full screen
        elif key != "start":
            rig.xdo(display, "key", "Escape")  # the menu closes
            rig.press(display, window, [key])
        full = full if key == "start" else key != "Escape" and not full
        # Without a manager a window fills a screen too small for 2x, full or not.
        covers = full or (screen[0] < 1280 and not manager)
        rig.wait_until("%s: a %s window after %s" % (row, "full" if full else "normal", key),
                       lambda: (rig.size(display, window) == screen) == covers, 10)
        open_menu(display, window, full, "%s, after %s" % (row, key))
    rig.stop(game)


def main():
    if not all(map(shutil.which, ("openbox", "xprop", "import"))):
        print("fullscreen: openbox, xprop or import missing, skipped")
        return rig.SKIP
    for screen in ((640, 480), (1280, 1024)):
        root, display = rig.start_xvfb("%dx%dx24" % screen)
        for manager in (False, True):
            if manager:
                rig.start_openbox(display)
            for full in (False, True):
                play_row(display, root, screen, manager, full)
    return 0


if __name__ == "__main__":
    sys.exit(rig.run(main))
