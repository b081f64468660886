#!/usr/bin/env python3
"""A new player's whole first session through the real window, with real keys and clicks.

The game starts with no horse yet. The player types a name and presses Return, looks at the
status (U) and the about screen (B, then OK), picks Action -> Jump and presses H just before a
block reaches the horse, opens Race -> Client(Blue), types an address, presses CANCEL, looks at
the status again and quits with Ctrl+Q. The saved file must then hold the named horse with what
happened after the last tenth-tick save, and the jump must have been cleared without a fall.

Usage: firstsession.py <game binary> <pictures folder>
Exits 77 (skipped) when Xvfb or xdotool is missing.
"""
import os
import sys
import time

import xsession as x

x.NAME = "firstsession"
GAME, PICS = sys.argv[1], sys.argv[2]

# Widget coordinates of the buttons (the window is the 240 x 320 game screen at zoom 1).
OK = (100 + 17, 260 + 10)
CANCEL = (140 + 27, 260 + 10)

JUMP_FRAME = "trotix: Action>>jump step"
BLOCK = "trotix: Random block generated!"
# A block appears six positions in front of the horse and comes one closer each jump frame: the
# hop must be asked for after the fifth frame that follows its appearance, before the sixth.
FRAMES_BEFORE_THE_HOP = 5


def horse(path):
    with open(path) as attr:
        lines = attr.read().split("\n")
    return lines[0], [float(value) for value in lines[1:6]]


def main():
    if x.tools_missing():
        print("firstsession: Xvfb or xdotool missing, skipped")
        return x.SKIP
    root = x.temporary_root()
    display = x.start_xvfb()
    home = x.make_home(root, "home", PICS)
    attr = os.path.join(home, "etc", "trotix_attr.conf")
    log = os.path.join(root, "game.log")
    game = x.start_game(GAME, home, display, log)
    window = x.window_of(display, game)
    x.xdo(display, "windowmove", window, 0, 0)

    def since(marker):
        text = x.read(log)
        return text[text.find(marker):]

    # The name, typed straight away and confirmed with Return.
    x.wait_for(log, "trotix: Action>>Naming()", 20)
    x.xdo(display, "windowfocus", "--sync", window)
    x.xdo(display, "type", "--delay", "60", "Pegasus")
    x.press(display, window, ["Return"])
    x.wait_for(log, "trotix: MenuSelect>>change to idle", 10)
    x.wait_for(log, "trotix: Action>>call idle()", 10)

    # The plain keys work once the name field is gone.
    x.press(display, window, ["u"])
    x.wait_for(log, "trotix: MenuSelect>>change to status", 5)
    x.press(display, window, ["b"])
    x.wait_for(log, "trotix: Action>>about()", 5)
    x.click(display, window, OK)
    x.wait_for(log, "trotix: MenuSelect>>change to idle", 5, count=2)

    # Jump, and H in time for the first block.
    x.press(display, window, ["alt+a", "j"])
    x.wait_for(log, "trotix: MenuSelect>>change to jump", 5)
    deadline = time.time() + 60
    while BLOCK not in since("trotix: MenuSelect>>change to jump"):
        if time.time() > deadline:
            x.fail("no block in a minute of jumping")
        time.sleep(0.05)
    deadline = time.time() + 15
    while since(BLOCK).count(JUMP_FRAME) < FRAMES_BEFORE_THE_HOP:
        if time.time() > deadline:
            x.fail("the jump frames stopped:\n" + x.read(log)[-800:])
        time.sleep(0.02)
    x.xdo(display, "key", "--clearmodifiers", "h")
    x.wait_for(log, "trotix: MenuSelect>>press hop!", 2)
    deadline = time.time() + 5
    while since(BLOCK).count(JUMP_FRAME) <= FRAMES_BEFORE_THE_HOP:
        if time.time() > deadline:
            x.fail("no jump frame after the hop")
        time.sleep(0.05)

    # The client's address screen: typing goes into the field at once, letters included.
    x.press(display, window, ["alt+r", "c", "Return"])
    x.wait_for(log, "trotix: Action>>askClient()", 5)
    before_typing = x.read(log)
    x.xdo(display, "type", "--delay", "60", "hub.example")
    time.sleep(0.5)
    typed = x.read(log)[len(before_typing):]
    for stray in ("change to status", "About selected", "press hop!"):
        if stray in typed:
            x.fail("typing the address chose %r instead" % stray)
    x.click(display, window, CANCEL)
    x.wait_after(log, "trotix: Action>>askClient()", "trotix: Action>>call idle()", 5)

    # A tenth-tick save, then a little more life, then U and Ctrl+Q.
    saves = x.read(log).count("trotix: Write Attribute File")
    x.wait_for(log, "trotix: Write Attribute File", 12, count=saves + 1)
    idle_ticks = x.read(log).count("trotix: Action>>call idle()")
    x.wait_for(log, "trotix: Action>>call idle()", 5, count=idle_ticks + 1)  # the save is done
    name, tenth_tick = horse(attr)
    x.wait_for(log, "trotix: Action>>call idle()", 5, count=idle_ticks + 3)
    x.press(display, window, ["u"])
    x.wait_for(log, "trotix: MenuSelect>>change to status", 5, count=2)
    x.press(display, window, ["ctrl+q"])
    try:
        code = game.wait(timeout=10)
    except Exception:
        x.fail("Ctrl+Q did not end the game")
    if code != 0:
        x.fail("the game ended with %d" % code)
    if not x.read(log).endswith("trotix: Write Attribute File\n"):
        x.fail("the horse was not saved on the way out; log ends:\n" + x.read(log)[-400:])

    name, final = horse(attr)
    if name != "Pegasus||||||||":
        x.fail("the saved name is %r" % name)
    age, muscle, fat, power, spirit = final
    print("firstsession: tenth-tick save %r, saved at Ctrl+Q %r" % (tenth_tick, final), flush=True)
    if age <= tenth_tick[0]:
        x.fail("the file lacks what happened after the last tenth-tick save")
    # Only the jump changes power and spirit: +0.005 and +0.03 for each frame with a block in
    # sight, -0.02 and -0.1 for each fall. Both together tell the falls.
    falls = round(((spirit - 100.0) - 6 * (power - 100.0)) / 0.02)
    seen = round(((spirit - 100.0) + 0.1 * falls) / 0.03)
    print("firstsession: %d jump frames with a block in sight, %d falls" % (seen, falls), flush=True)
    if falls != 0:
        x.fail("the horse fell although H was pressed in time")
    if seen < FRAMES_BEFORE_THE_HOP:
        x.fail("no block was cleared")
    print("firstsession: named, looked, jumped, sought a challenger, quit: the horse is saved", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(x.run(main))
