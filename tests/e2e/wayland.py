#!/usr/bin/env python3
"""A phone's 360 x 720 screen under a Weston of our own (headless, no GPU, no X display): the game
starts full screen, takes keys and a tap for the name and a hold for its menu, leaves full screen by
the menu (the pointer) and goes back and forth by F11 and Escape, fills the width as the compositor
shows it, and saves on SIGTERM. Weston has no input devices here: seat.cpp, preloaded, is the seat.
Usage: wayland.py <game> <pictures> <seat library>; 77 without Weston or ImageMagick, or where Weston
cannot start."""
import glob
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

import xsession as x

x.NAME = "wayland"
SOCKET = "trotix-wayland-test"


def start_weston(root):
    """Weston with a black desktop and no panel: all that is not black is the game."""
    with open(os.path.join(root, "weston.ini"), "w") as ini:
        ini.write("[shell]\nbackground-color=0xff000000\npanel-position=none\n")
    os.makedirs(os.path.join(root, "run"), mode=0o700)
    env = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(root, "run"), WAYLAND_DISPLAY=SOCKET)
    log = os.path.join(root, "weston.log")
    # --debug lets any client take screenshots.
    x.started.append(subprocess.Popen(["weston", "--backend=headless-backend.so", "--width=360", "--height=720",
                                       "--use-pixman", "--socket=" + SOCKET, "--idle-time=0", "--debug",
                                       "--config=" + os.path.join(root, "weston.ini")],
                                      env=env, stdout=open(log, "wb"), stderr=subprocess.STDOUT))
    deadline = time.time() + 20
    while "launching" not in x.read(log) or not os.path.exists(os.path.join(env["XDG_RUNTIME_DIR"], SOCKET)):
        if x.started[-1].poll() is not None or time.time() > deadline:
            print("wayland: Weston cannot start here, skipped; its log ends:\n" + x.read(log)[-800:])
            raise SystemExit(x.SKIP)
        time.sleep(0.1)
    return env


def picture(root, env):
    """The box of what is not black on the compositor's screen: "WxH+X+Y"."""
    for old in glob.glob(os.path.join(root, "*.png")):
        os.remove(old)
    subprocess.run(["weston-screenshooter"], cwd=root, env=env, timeout=30, check=True)
    return subprocess.run(["convert", glob.glob(os.path.join(root, "*.png"))[0], "-trim", "-format", "%wx%h%X%Y",
                           "info:"], capture_output=True, text=True, check=True).stdout


def main():
    root = tempfile.mkdtemp(prefix="trotix-wayland-")
    x.roots.append(root)
    env = start_weston(root)
    home, log = x.make_home(root, "home"), os.path.join(root, "game.log")
    env.pop("DISPLAY", None)
    env.pop("TROTIX_SCALE", None)
    # A phone's shell draws no title bar. Qt's text-input protocol needs a seat (without one a key in
    # a field crashes Qt 6.4): keys reach the field as under X.
    env.update(QPEDIR=home, QT_QPA_PLATFORM="wayland", LD_PRELOAD=sys.argv[3], XDG_CONFIG_HOME=home + "/config",
               QT_WAYLAND_DISABLE_WINDOWDECORATION="1", QT_IM_MODULE="compose")
    game = subprocess.Popen([x.GAME], env=env, stdin=subprocess.PIPE, stdout=open(log, "wb"),
                            stderr=subprocess.STDOUT, cwd=home)
    x.started.append(game)

    def send(command, expected=None):
        """Sends a command to the seat; with expected, asks until the window is so (a pattern)."""
        done = "seat: done %s\n" % command
        count = x.read(log).count(done) + 1
        game.stdin.write((command + "\n").encode())
        game.stdin.flush()
        x.wait_for(log, done, 10, count=count)
        if expected:
            x.wait_until(lambda: "the window %s; log ends:\n%s" % (expected, x.read(log)[-800:]),
                         lambda: send("window") or re.fullmatch(expected, re.findall("seat: window (.*)", x.read(log))[-1]),
                         20, 0.3)

    x.wait_for(log, "trotix: Action>>Naming()", 60)
    send("window", "360x720 full 1 popup none")  # too small for 2x: full screen
    for command in ["key W", "key L", "tap okButton"]:
        send(command)
    x.wait_for(log, "trotix: Action>>call idle()", 10)
    send("hold", "360x720 full 1 popup zoomMenu")
    send("click Full screen", "360x720 full 0 popup none")
    send("key F11", "360x720 full 1 popup none")  # F11 again is Escape's way out, as under X (fullscreen.py)
    send("key Escape", "360x720 full 0 popup none")
    shown = []
    x.wait_until(lambda: "the width's 360 x 480 picture on the 360 x 720 screen, not %s" % shown[-1],
                 lambda: shown.append(picture(root, env)) or re.fullmatch(r"360x480\+0\+\d+", shown[-1]), 10)

    game.send_signal(signal.SIGTERM)
    if game.wait(timeout=10) != 0 or not x.read(log).endswith("trotix: Write Attribute File\n"):
        x.fail("SIGTERM did not end the game with the horse saved; log ends:\n" + x.read(log)[-400:])
    with open(os.path.join(home, "etc", "trotix_attr.conf")) as attr:
        name = attr.readline().strip()
    if name != "WL|||||||||||||" or re.search("^qt\\.|xcb", x.read(log), re.M):
        x.fail("the save's name is %r, not the keys' WL; log:\n%s" % (name, x.read(log)))
    return 0


if __name__ == "__main__":
    sys.exit(x.run(main, tools=("weston", "weston-screenshooter", "convert")))
