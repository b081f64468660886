#!/usr/bin/env python3
"""What is no file where the game keeps one never stops it. Nine games side by side, each with a FIFO,
a device or a folder in place of its history, race record or window settings, open the horse's book
(R), tick past a save and repaint, and end on SIGTERM within 5 s with the horse saved; a temporary
file a save left behind is gone after the start. As root, in a mount namespace of its own, a tenth
starts on a full disk (a small tmpfs): it plays without its lock and, once space is freed, saves
again at its next tenth tick and says so once.

Usage: strangefiles.py <game binary> <pictures folder>; exits 77 without Xvfb or xdotool.
"""
import os
import signal
import subprocess
import sys
import time

import xsession as x

x.NAME = "strangefiles"
HORSE = "ODD|HORSE||||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n"
LEFT = "trotix_attr.conf.trotix-tmp-Ab12Cd"  # what a save killed before its rename leaves
NOTICE = b"\xf3\xea\xd8"  # the notice box's paper


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


def ticks(log):
    return x.read(log).count("trotix: Action>>call idle()")


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
    full = []  # two games on one save, started on a full disk
    if os.environ.get("TROTIX_PRIVATE_MOUNTS"):
        home = x.make_home(root, "full")
        etc = os.path.join(home, "etc")
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", etc], check=True)
        with open(os.path.join(etc, "trotix_attr.conf"), "w") as attr:
            attr.write(HORSE)
        subprocess.run(["dd", "if=/dev/zero", "of=" + os.path.join(etc, "filler")], capture_output=True)
        for number in (0, 1):
            log = os.path.join(root, "full%d.log" % number)
            full.append((log,) + x.start_game(home, display, log))
            x.xdo(display, "windowmove", full[-1][2], number * 250, 680)
    else:
        print("strangefiles: not root: no mount namespace for a full disk, that row skipped", flush=True)
    for home, log, game, window, said in games:
        x.wait_for(log, "trotix: Action>>", 30)
        x.press(display, window, ["r"])
        x.wait_until("the book of " + home, lambda: x.xdo(display, "search", "--all", "--pid", game.pid, "--name", "Race record"))
        x.press(display, x.xdo(display, "search", "--all", "--pid", game.pid, "--name", "Race record").split()[0], ["Escape"])
    for home, log, game, window, said in games:
        x.wait_for(log, "trotix: Write Attribute File", 30)
        before = pixels(display, window)
        x.wait_until("a repaint of " + home, lambda: pixels(display, window) != before, 5)
        if said not in x.read(log) or os.path.exists(os.path.join(home, "etc", LEFT)):
            x.fail("%s: no %r or %s left; log ends:\n%s" % (home, said, LEFT, x.read(log)[-1500:]))
        game.send_signal(signal.SIGTERM)
        started = time.time()
        try:
            code = game.wait(timeout=5)
        except subprocess.TimeoutExpired:
            x.fail("%s: SIGTERM did not end the game within 5 s; log ends:\n%s" % (home, x.read(log)[-1500:]))
        saved = open(os.path.join(home, "etc", "trotix_attr.conf")).read()
        ended = "trotix: SIGTERM: the game ends in order.\ntrotix: Write Attribute File\n"
        if code != 0 or ended not in x.read(log) or "Cannot write attribute" in x.read(log) or saved == HORSE:
            x.fail("%s: ended %d after %.1f s, the horse not saved; log ends:\n%s" % (home, code, time.time() - started, x.read(log)[-600:]))
    if full:
        # Neither can make the lock; once space is freed, the first to try again saves, says so once,
        # and the other, finding the lock taken by a game at play, never saves.
        lock = "%s/trotix_attr.conf.lock" % etc
        for log, game, window in full:
            if not x.read(log).startswith("trotix: Cannot lock the save %s (No space left on device)" % lock):
                x.fail("a full disk at the start did not keep the lock from being made; log:\n" + x.read(log)[:600])
            x.wait_until("the full disk's first save", lambda: ticks(log) > 11)
        os.remove(os.path.join(etc, "filler"))
        again = "trotix: The save %s is made at last; this session saves from now on.\n" % lock
        x.wait_until("a game saving again", lambda: any(again in x.read(log) for log, _, _ in full), 15)
        (log, game, window), other = sorted(full, key=lambda f: again not in x.read(f[0]))
        x.wait_until("the notice", lambda: NOTICE in pixels(display, window))
        x.wait_for(log, "trotix: Write Attribute File", 15, count=2)
        x.wait_for(other[0], "trotix: Another Trotix (process %d) now plays the horse in %s/trotix_attr.conf; this "
                   "session will not save.\n" % (game.pid, etc), 15)
        for ended in (other[1], game):
            ended.send_signal(signal.SIGTERM)
            ended.wait(timeout=5)
        if x.read(log).count(again) != 1 or "Cannot write" in x.read(log) or "Write Attribute" in x.read(other[0]) \
                or open(os.path.join(etc, "trotix_attr.conf")).read() == HORSE:
            x.fail("space freed, the right game did not save again, or said so more than once; log ends:\n" + x.read(log)[-1500:])
        subprocess.run(["umount", etc])
        print("strangefiles: a full disk's session saved again once space was freed, its twin never", flush=True)
    return 0


if __name__ == "__main__":
    if os.geteuid() == 0 and not os.environ.get("TROTIX_PRIVATE_MOUNTS"):
        os.environ["TROTIX_PRIVATE_MOUNTS"] = "1"
        os.execvp("unshare", ["unshare", "-m", "--propagation", "private", sys.executable] + sys.argv)
    sys.exit(x.run(main))
