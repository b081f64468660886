#!/usr/bin/env python3
"""The handheld: a 240 x 320 X screen, no window manager, the pointer the only input, through a first
session to Quit. With --phone the same on a 360 x 720 screen at 1.5x; inside lanns.sh the client
joins a game on another X screen by a tap on the list of games found, and races.

Usage: handheld.py <game binary> <pictures folder> [--phone]; exits 77 without Xvfb or xdotool.
With TROTIX_KEYBOARD=none in the environment it must fail at the name.
"""
import os
import subprocess
import sys
import time

import xsession as x

x.NAME = "handheld"
PHONE, LAN = "--phone" in sys.argv[3:], os.environ.get("TROTIX_LANNS") == "inside"
# Where the window shows a place of the device's screen: the phone's picture lies 120 pixels down.
ORIGIN, ZOOM = ((0, 120), 1.5) if PHONE else ((0, 0), 1)
shown = lambda at: (round(ORIGIN[0] + at[0] * ZOOM), round(ORIGIN[1] + at[1] * ZOOM))
FIELD, CANCEL, CONFIRM, PICTURE, CLOSE, FIRST_GAME = map(shown, [(125, 130), (167, 270), (67, 270), (120, 200), (120, 304), (120, 172)])
ACTION, RACE = map(shown, [(20, 10), (100, 10)])  # the menu bar's titles
# The screen keyboard as it opens under a field at (50, 120, 150, 20): ten keys of 24 x 23 a row.
KEYBOARD_TOP = 141
KEYS = {key: (column, row, 1) for row, keys in enumerate(["1234567890", "QWERTYUIOP", "ASDFGHJKL-", "ZXCVBNM."])
        for column, key in enumerate(keys)}
KEYS.update({" ": (3, 4, 4), "ENTER": (7, 4, 3)})


def tap(display, at, hold=0.1):
    x.xdo(display, "mousemove", at[0], at[1])
    x.xdo(display, "mousedown", 1)
    time.sleep(hold)
    x.xdo(display, "mouseup", 1)
    time.sleep(0.3)


def type_keys(display, keys):
    for key in keys:
        column, row, span = KEYS[key]
        tap(display, shown((column * 24 + span * 12, KEYBOARD_TOP + row * 23 + 11)))


def popup(display, window, count=1):
    """The geometry of the pop-up menu just opened (the only window of the game, started second,
    besides its own)."""
    x.wait_until("a pop-up menu", lambda: len(x.popups(display, x.started[1], window)) == count, 10)
    values = x.geometry(display, x.popups(display, x.started[1], window)[-1])
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def choose(display, window, title, item, items):
    """Taps a menu bar title, then its pop-up's item-th entry of items."""
    tap(display, title)
    left, top, width, height = popup(display, window)
    tap(display, (left + width // 2, top + height * (2 * item + 1) // (2 * items)))


def hold_menu(display, window):
    """Press and hold on the picture: the window menu; its first and last entries' places."""
    tap(display, PICTURE, hold=1.5)  # twice the hold, for a loaded machine
    left, top, width, height = popup(display, window)
    return (left + 40, top + 11), (left + 40, top + height - 12)


def join_from_list(display, root, log):
    """A game waiting on an X screen of its own is found, tapped in the list and raced to the end."""
    _, server_display = x.start_xvfb()
    server_log = os.path.join(root, "server.log")
    server_home = x.make_home(root, "server", "RED|RUNNER|||||\n1.0\n150.0\n50.0\n100.0\n100.0\n")
    _, server = x.start_game(server_home, server_display, server_log)
    x.wait_for(server_log, "trotix: Action>>call idle()", 20)
    x.press(server_display, server, ["alt+r", "s"])
    x.wait_for(server_log, "trotix: Action>>askServer()", 10)
    x.click(server_display, server, (67, 270))  # CONFIRM
    x.wait_for(server_log, "trotix: Action>>startServer()", 10)
    x.wait_for(log, "trotix: Found a game on the network: RED RUNNER", 30)
    tap(display, FIRST_GAME)
    tap(display, CONFIRM)
    x.wait_for(log, "trotix: Action>>call idle()", 180, after="trotix: Action>>Display Client's RaceCourse()")


def main():
    root, display = x.start_xvfb("360x720x24" if PHONE else "240x320x24")
    home = x.make_home(root, "home")
    attr, log = os.path.join(home, "etc", "trotix_attr.conf"), os.path.join(root, "game.log")
    game, window = x.start_game(home, display, log, None)
    x.wait_for(log, "trotix: Action>>Naming()", 20)
    # The phone's picture, all that is not black, fills the width in its own shape.
    shot = os.path.join(root, "shot.png")
    subprocess.run(["import", "-display", display, "-window", "root", shot], check=True)
    picture = subprocess.run(["convert", shot, "-trim", "-format", "%wx%h%X%Y", "info:"], capture_output=True, text=True).stdout
    if PHONE and picture != "360x480+0+120":
        x.fail("the picture is %s" % picture)

    tap(display, FIELD)
    type_keys(display, ["S", "T", "Y", "L", "U", "S", " ", "1", "ENTER"])
    x.wait_for(log, "trotix: Action>>call idle()", 10)
    choose(display, window, ACTION, 1, 5)
    x.wait_for(log, "trotix: Action>>eat step 6", 20)  # a title tapped that is an action: tst_handheld

    how_to_play, _ = hold_menu(display, window)
    tap(display, how_to_play)
    helps = lambda: x.xdo(display, "search", "--onlyvisible", "--name", "How to play").split()
    x.wait_until("the help window", helps)
    tap(display, CLOSE)
    x.wait_until("the help window to close", lambda: not helps())
    x.wait_until("the keyboard back with the game", lambda: x.xdo(display, "getwindowfocus").strip() == window, 5)

    choose(display, window, RACE, 1, 3)
    x.wait_for(log, "trotix: Action>>askClient()", 5)
    if PHONE and LAN:
        join_from_list(display, root, log)
    else:
        tap(display, FIELD)
        type_keys(display, "127.0.0.1")
        tap(display, CANCEL)
        x.wait_for(log, "trotix: Action>>call idle()", 5, after="trotix: Action>>askClient()")

    _, quit_entry = hold_menu(display, window)
    tap(display, quit_entry)
    if game.wait(timeout=10) != 0 or not x.read(log).endswith("trotix: Write Attribute File\n"):
        x.fail("Quit did not end the game with the horse saved; log ends:\n" + x.read(log)[-400:])
    with open(attr) as saved:
        lines = saved.read().split("\n")
    age, fat = float(lines[1]), float(lines[3])
    if lines[0] != "STYLUS|1|||||||" or age <= 1.0 or fat <= 50.0:
        x.fail("saved %r aged %r with fat %r: the name or the loops played are lost" % (lines[0], age, fat))
    return 0


if __name__ == "__main__":
    sys.exit(x.run(main))
