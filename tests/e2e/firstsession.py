#!/usr/bin/env python3
"""A new player's first session through the real window, with real keys and clicks: a name and
Return, the status (U), the about screen (B, then OK), Action -> Jump with H just before a block
reaches the horse, Race -> Client(Blue), an address, CANCEL, Ctrl+Q. The save must hold the named
horse with what happened after the last tenth-tick save, and no fall.

Usage: firstsession.py <game binary> <pictures folder>; exits 77 (skipped) without Xvfb or xdotool.
"""
import os
import sys

import xsession as x

x.NAME = "firstsession"
OK, CANCEL = (117, 270), (167, 270)  # the buttons' centres in the 240 x 320 window
JUMP_FRAME, BLOCK = "trotix: Action>>jump step", "trotix: Random block generated!"
# A block appears six positions in front of the horse and comes one closer each jump frame: the
# hop must be asked for after the fifth frame that follows its appearance, before the sixth.
FRAMES_BEFORE_THE_HOP = 5


def horse(path):
    with open(path) as attr:
        lines = attr.read().split("\n")
    return lines[0], [float(value) for value in lines[1:6]]


def main():
    root, display = x.start_xvfb()
    home = x.make_home(root, "home")
    attr, log = os.path.join(home, "etc", "trotix_attr.conf"), os.path.join(root, "game.log")
    game, window = x.start_game(home, display, log)
    x.xdo(display, "windowmove", window, 0, 0)

    x.wait_for(log, "trotix: Action>>Naming()", 20)
    # No window manager here, and the pointer away from the window: the keys reach the game only
    # because it took the keyboard itself, as a window manager would have given it.
    x.xdo(display, "mousemove", 700, 500)
    x.xdo(display, "type", "--delay", "60", "Pegasus")
    x.xdo(display, "key", "Return")
    x.wait_for(log, "trotix: Action>>call idle()", 10)
    # The plain keys work once the name field is gone.
    x.xdo(display, "key", "u")
    x.wait_for(log, "trotix: MenuSelect>>change to status", 5)
    x.press(display, window, ["b"])
    x.wait_for(log, "trotix: Action>>about()", 5)
    x.click(display, window, OK)
    x.wait_for(log, "trotix: MenuSelect>>change to idle", 5, count=2)

    # Jump, and H in time for the first block.
    x.press(display, window, ["alt+a", "j"])
    x.wait_for(log, BLOCK, 60, after="trotix: MenuSelect>>change to jump")
    x.wait_for(log, JUMP_FRAME, 15, FRAMES_BEFORE_THE_HOP, after=BLOCK)
    x.xdo(display, "key", "--clearmodifiers", "h")
    x.wait_for(log, "trotix: MenuSelect>>press hop!", 2)
    x.wait_for(log, JUMP_FRAME, 5, FRAMES_BEFORE_THE_HOP + 1, after=BLOCK)

    # The client's address screen, left with CANCEL.
    x.press(display, window, ["alt+r", "c", "Return"])
    x.wait_for(log, "trotix: Action>>askClient()", 5)
    x.xdo(display, "type", "--delay", "60", "hub.example")
    x.click(display, window, CANCEL)
    x.wait_for(log, "trotix: Action>>call idle()", 5, after="trotix: Action>>askClient()")

    # A tenth-tick save, a little more life, then Ctrl+Q.
    saves = x.read(log).count("trotix: Write Attribute File")
    x.wait_for(log, "trotix: Write Attribute File", 12, count=saves + 1)
    idle_ticks = x.read(log).count("trotix: Action>>call idle()")
    x.wait_for(log, "trotix: Action>>call idle()", 5, count=idle_ticks + 1)  # the save is done
    tenth_tick = horse(attr)[1]
    x.wait_for(log, "trotix: Action>>call idle()", 5, count=idle_ticks + 3)
    x.press(display, window, ["ctrl+q"])
    if game.wait(timeout=10) != 0 or not x.read(log).endswith("trotix: Write Attribute File\n"):
        x.fail("Ctrl+Q did not end the game with the horse saved; log ends:\n" + x.read(log)[-400:])

    name, (age, muscle, fat, power, spirit) = horse(attr)
    if name != "Pegasus||||||||" or age <= tenth_tick[0]:
        x.fail("saved %r aged %r: the name or the time after the last tenth-tick save is lost" % (name, age))
    # Only the jump changes power and spirit: +0.005 and +0.03 for each frame with a block in
    # sight, -0.02 and -0.1 for each fall. Both together tell the falls.
    falls = round(((spirit - 100.0) - 6 * (power - 100.0)) / 0.02)
    seen = round(((spirit - 100.0) + 0.1 * falls) / 0.03)
    print("firstsession: %d jump frames with a block in sight, %d falls" % (seen, falls), flush=True)
    if falls != 0 or seen < FRAMES_BEFORE_THE_HOP:
        x.fail("the horse fell although H was pressed in time")
    return 0


if __name__ == "__main__":
    sys.exit(x.run(main))
