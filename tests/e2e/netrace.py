#!/usr/bin/env python3
"""Two real games race each other over 127.0.0.1 through their menus: both logs show the hand-shake,
the same winner and the return to idle. With --lan (inside lanns.sh) Blue picks Red from its list of games
found through DNS-SD; the announcement is gone after the race. With --again both choose Race again
on the result, Blue by Return before Red by a click, and race a second time with the same hand-shake.

Usage: netrace.py <game binary> <pictures folder> [--lan | --again]; exits 77 without Xvfb or xdotool.
"""
import os
import re
import subprocess
import sys
import time

import xsession as x
from xsession import click, fail, press, read, wait_for, xdo

x.NAME = "netrace"
# Widget coordinates of the controls (the window is the 240 x 320 game screen).
CONFIRM = (40 + 27, 260 + 10)
ADDRESS = (50 + 75, 120 + 10)
RACE_AGAIN = (150 + 40, 260 + 10)
LAN = "--lan" in sys.argv[3:]
AGAIN = "--again" in sys.argv[3:]
NO_SEARCH = "trotix: Cannot search the network for games: "


def announced():
    """What avahi-browse finds of _trotix._tcp, resolved."""
    return subprocess.run(["avahi-browse", "-rtp", "_trotix._tcp"], capture_output=True, text=True, timeout=30).stdout


def main():
    root, display = x.start_xvfb()
    attrs = "\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n"
    red_log, blue_log = os.path.join(root, "red.log"), os.path.join(root, "blue.log")
    red, red_window = x.start_game(x.make_home(root, "red", "RED|RUNNER|||||" + attrs), display, red_log)
    blue, blue_window = x.start_game(x.make_home(root, "blue", "BLUE|BOLT||||||" + attrs), display, blue_log)
    for window, left in ((red_window, 0), (blue_window, 300)):
        xdo(display, "windowmove", window, left, 0)
    for log in (red_log, blue_log):
        wait_for(log, "trotix: Action>>call idle()", 20)

    # Red waits for a challenger.
    press(display, red_window, ["alt+r", "s"])
    wait_for(red_log, "trotix: Action>>askServer()", 10)
    click(display, red_window, CONFIRM)
    wait_for(red_log, "trotix: Action>>startServer()", 10)  # now taking challengers
    if "trotix: Failed to bind to port!!!" in read(red_log):
        fail("port 1234 is held by another program (another test run?)")

    # Blue seeks it at 127.0.0.1, or picks it from the games found nearby.
    # "&Client(Blue)" and "&Computer" share their mnemonic: C moves to the first, Return picks it.
    press(display, blue_window, ["alt+r", "c", "Return"])
    wait_for(blue_log, "trotix: Action>>askClient()", 10)
    if LAN:
        x.wait_until("RED RUNNER announced", lambda: "=;trotix0;IPv4;RED\\032RUNNER;_trotix._tcp;local;" in announced(), 20)
        wait_for(blue_log, "trotix: Found a game on the network: RED RUNNER at 192.0.2.1", 20)
        press(display, blue_window, ["Down", "Return"])  # the address field has the keys
    else:
        wait_for(blue_log, NO_SEARCH, 10)
        click(display, blue_window, ADDRESS)
        xdo(display, "type", "--delay", "50", "127.0.0.1")
    time.sleep(0.3)
    click(display, blue_window, CONFIRM)
    wait_for(blue_log, "trotix: Try to establish client connection", 10)

    # The hand-shake on both sides, then both race courses; with --again, on the result, both again.
    for after in ("", "trotix: Race again")[:1 + AGAIN]:
        if after:
            # The offer shows on each result: Blue's key waits for it; Red is still on its result.
            x.wait_until("blue's offer", lambda: press(display, blue_window, ["Return"]) or after in read(blue_log), 240, 1)
            click(display, red_window, RACE_AGAIN)
            wait_for(red_log, after, 5)
        for log, line in ((red_log, "Ding! Server Connected"), (red_log, "Challenger's weight: 150"),
                          (blue_log, "Output to Server: BLUE BOLT      +150"), (red_log, "Action>>Display Server's RaceCourse()"),
                          (blue_log, "Action>>Display Client's RaceCourse()"), (blue_log, "Fire! Race Start.")):
            wait_for(log, "trotix: " + line, 15, after=after)
    # The race to its end, and back to idle on both.
    for log in (red_log, blue_log):
        wait_for(log, "trotix: Action>>call idle()", 180, after="RaceCourse()")

    red_text, blue_text = read(red_log), read(blue_log)
    scenarios = re.findall(r"trotix: \*\*\* Win Scenario = (\d)", red_text)
    replies = re.findall(r"Position got is Player 1: (-?\d+), Player 2: (-?\d+), Winner: (\d)", blue_text)
    if len(scenarios) != 1 + AGAIN or not replies:
        fail("expected a win scenario a race in red's log (%r) and position replies in blue's" % scenarios)
    for name in ("red", "blue"):
        with open(os.path.join(root, name, "etc", "trotix_record.conf")) as record:
            if sum(map(int, record.read().split("network")[1].split())) != 1 + AGAIN:
                fail(name + "'s record does not count each race once")
    # Without a bonus the favoured horse always finishes first: scenarios 1 and 2 favour Red.
    red_winner = 1 if scenarios[-1] in ("1", "2") else 2
    last_p1, last_p2, blue_winner = map(int, replies[-1])
    print("netrace: red says winner %d, blue says winner %d (last positions %d, %d)"
          % (red_winner, blue_winner, last_p1, last_p2), flush=True)
    if blue_winner != red_winner:
        fail("the two games disagree on the winner")
    if last_p1 <= 2000 or last_p2 <= 2000:
        fail("blue's race ended before both horses passed the finish")
    for name, text in (("red", red_text), ("blue", blue_text)):
        if "trotix: MenuSelect>>change to idle" not in text[text.rfind("RaceCourse()"):]:  # "call idle()" waited for
            fail(name + " did not go back to idle")
    if "trotix: Start client connection Error!" in blue_text:
        fail("blue logged an error for the normal end of the race")
    if red.poll() is not None or blue.poll() is not None:
        fail("a game ended during the race")
    if LAN and "RED\\032RUNNER" in announced():
        fail("red is still announced after the race")
    if not LAN and blue_text.count(NO_SEARCH) != 1:
        fail("blue should say once that it cannot search: %d lines" % blue_text.count(NO_SEARCH))
    print("netrace: both games raced from the hand-shake to the result and returned to idle", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(x.run(main))
