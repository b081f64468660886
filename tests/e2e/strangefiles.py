#!/usr/bin/env python3
"""Nine games, each with a FIFO, a device or a folder in place of its history, race record or window
settings, play on and end on SIGTERM with the horse saved. As root, in a mount namespace of its own,
a tenth starts on a full disk (a small tmpfs) and saves again once space is freed.

Usage: strangefiles.py <game binary> <pictures folder>; exits 77 without Xvfb or xdotool.
"""
import os
import signal
import subprocess
import sys

import xsession as x

x.NAME = "strangefiles"
HORSE = "ODD|HORSE||||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n"
LEFT = "trotix_attr.conf.trotix-tmp-Ab12Cd"  # what a save killed before its rename leaves


def plant(path, kind):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if kind == "FIFO":
        os.mkfifo(path)
    elif kind == "folder":
        os.mkdir(path)
    elif os.geteuid() == 0:
        os.mknod(path, 0o600 | 0o020000, os.makedev(1, 3))
    else:
        os.symlink("/dev/null", path)  # a device all the same, through the link


def pixels(display, window):
    return subprocess.run(["import", "-display", display, "-window", window, "-depth", "8", "rgb:-"],
                          capture_output=True, check=True).stdout


def end(home, log, game):
    game.send_signal(signal.SIGTERM)
    try:
        code = game.wait(timeout=5)
    except subprocess.TimeoutExpired:
        code = None
    said = x.read(log)
    if code != 0 or "trotix: SIGTERM: the game ends in order.\ntrotix: Write Attribute File\n" not in said \
            or "Cannot write attribute" in said or open(os.path.join(home, "etc", "trotix_attr.conf")).read() == HORSE:
        x.fail("%s: SIGTERM did not end the game within 5 s (%r) with the horse saved; log ends:\n%s" % (home, code, said[-1500:]))


def main():
    root, display = x.start_xvfb("1280x1024x24")
    games = []
    for number, (place, kind) in enumerate((p, k) for p in ("etc/trotix_history.csv", "etc/trotix_record.conf",
                                                            "config/trotix/trotix.ini") for k in ("FIFO", "device", "folder")):
        home = x.make_home(root, "home%d" % number, HORSE)
        plant(os.path.join(home, place), kind)
        open(os.path.join(home, "etc", LEFT), "w").close()
        log = os.path.join(root, "game%d.log" % number)
        game, window = x.start_game(home, display, log)
        x.xdo(display, "windowmove", window, number % 5 * 250, number // 5 * 340)
        games.append((home, log, game, window, "%s (it is a %s, not a regular file)" % (os.path.join(home, place), kind)))
    if os.environ.get("TROTIX_PRIVATE_MOUNTS"):
        full = x.make_home(root, "full")
        etc, full_log = os.path.join(full, "etc"), os.path.join(root, "full.log")
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", etc], check=True)
        with open(os.path.join(etc, "trotix_attr.conf"), "w") as attr:
            attr.write(HORSE)
        subprocess.run(["dd", "if=/dev/zero", "of=" + os.path.join(etc, "filler")], capture_output=True)
        full_game, full_window = x.start_game(full, display, full_log)
        x.xdo(display, "windowmove", full_window, 0, 680)
    else:
        print("strangefiles: no mount namespace of its own (not root?): the full disk skipped", flush=True)
    for home, log, game, window, said in games:
        x.wait_for(log, "trotix: Action>>", 30)
        x.press(display, window, ["r"])
        book = lambda: x.xdo(display, "search", "--all", "--pid", game.pid, "--name", "Race record").split()
        x.wait_until("the book of " + home, book)
        x.press(display, book()[0], ["Escape"])
    for home, log, game, window, said in games:
        x.wait_for(log, "trotix: Write Attribute File", 30)  # ticking, so painting as the films show
        if said not in x.read(log) or os.path.exists(os.path.join(home, "etc", LEFT)):
            x.fail("%s: no %r or %s left; log ends:\n%s" % (home, said, LEFT, x.read(log)[-1500:]))
        end(home, log, game)
    if os.environ.get("TROTIX_PRIVATE_MOUNTS"):
        # No lock at the start; the first save after space is freed makes it, and says so once.
        if not x.read(full_log).startswith("trotix: Cannot lock the save %s/trotix_attr.conf.lock (No space left" % etc):
            x.fail("a full disk at the start did not keep the lock from being made; log:\n" + x.read(full_log)[:600])
        x.wait_until("the full disk's first save", lambda: x.read(full_log).count("trotix: Action>>call idle()") > 11)
        os.remove(os.path.join(etc, "filler"))
        x.wait_for(full_log, "trotix: Write Attribute File", 15, after="is made at last; this session saves")
        x.wait_until("the notice", lambda: b"\xf3\xea\xd8" in pixels(display, full_window))  # its paper
        x.wait_for(full_log, "trotix: Write Attribute File", 15, count=2, after="is made at last; this session saves")
        end(full, full_log, full_game)
        if x.read(full_log).count("is made at last") != 1:
            x.fail("saving again was said more than once")
        subprocess.run(["umount", etc])
    return 0


if __name__ == "__main__":
    if os.geteuid() == 0 and not os.environ.get("TROTIX_PRIVATE_MOUNTS") and subprocess.run(["unshare", "-m", "true"]).returncode == 0:
        os.environ["TROTIX_PRIVATE_MOUNTS"] = "1"
        os.execvp("unshare", ["unshare", "-m", "--propagation", "private", sys.executable] + sys.argv)
    sys.exit(x.run(main))
