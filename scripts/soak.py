#!/usr/bin/env python3
"""A long run of one real game under Xvfb, driven through its window: race after race against the
computer, the horse's book (R) and the help (F1) opened and closed after each, and network
connections among them: a stranger that greets and leaves after every race (the game serves from
the first race on), and every tenth race a whole network race with a scripted challenger. After
every race the game's resident memory (VmRSS) and open descriptors are written to a CSV file, and
the end prints the curve and the growth over the last races. The horse starts with a history near
its bound (--fresh-history: none), played into it at a fast tick first: a history filling up grows
the memory that reads and writes it, to a bound, and that is not what a soak looks for.

The game ticks every --tick-ms milliseconds (TROTIX_TICK_MS) instead of every second. It uses TCP
port 1234: run it where nothing else does, e.g. `make soak` (a network namespace of its own when
run as root), or
    unshare -n sh -c 'ip link set lo up && scripts/soak.py build/trotix build/pics'

Usage: soak.py <game binary> <pictures folder> [--races N] [--tick-ms MS] [--csv PATH] [--last N] [--fresh-history]
"""
import argparse
import os
import signal
import socket
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import xsession as x  # noqa: E402

x.NAME = "soak"
ATTR = "SOAK|RUNNER||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n"
CONFIRM = (40 + 27, 260 + 10)
CANCEL = (90 + 27, 260 + 10)
NETWORK_EVERY = 10
HISTORY = "trotix_history.csv"
FULL_HISTORY = 1900
# What strangers send an idle game, and its answers.
STRANGERS = ((b"TROTIX\n", b"BADREQ\n"), (b"ASKPOS\n", b"NOTAVA\n"), (b"", b""))


class Log:
    """The game's log, read on from where the last wait stopped (the whole log grows to megabytes)."""

    def __init__(self, path):
        self.path, self.offset, self.seen = path, 0, b""

    def wait(self, text, timeout):
        """Waits for text after the last line waited for and moves past it."""
        wanted = text.encode()
        deadline = time.time() + timeout
        with open(self.path, "rb") as log:
            while True:
                log.seek(self.offset)
                self.seen += log.read()
                self.offset = log.tell()
                at = self.seen.find(wanted)
                if at >= 0:
                    self.seen = self.seen[at + len(wanted):]
                    return
                self.seen = self.seen[-len(wanted):]
                if time.time() > deadline:
                    x.fail("waited %ds for %r; log ends:\n%s" % (timeout, text, x.read(self.path)[-1500:]))
                time.sleep(0.02)


def resources(pid):
    """(resident memory, of it the process's own heap and stacks, both in kB; open descriptors) of a
    process. The descriptors are the fewest of five looks: the save every ten ticks holds a file
    open for a moment."""
    descriptors = []
    for _ in range(5):
        descriptors.append(len(os.listdir("/proc/%d/fd" % pid)))
        time.sleep(0.1)
    with open("/proc/%d/status" % pid) as status:
        fields = dict(line.split(":", 1) for line in status)
    return int(fields["VmRSS"].split()[0]), int(fields["RssAnon"].split()[0]), min(descriptors)


def history_lines(home):
    with open(os.path.join(home, "etc", HISTORY), "rb") as history:
        return history.read().count(b"\n")


def lengthen_history(root, display, home):
    """Plays the horse idle at a tick a millisecond until its history nears the game's bound of
    2000 lines, as a horse played for some hours has it: from then on the history stays between
    1500 and 2000 lines, and the soak measures the game, not the file filling up."""
    log = os.path.join(root, "history.log")
    game, _ = x.start_game(home, display, log, TROTIX_TICK_MS="1")
    x.wait_until("a history of %d lines" % FULL_HISTORY,
                 lambda: os.path.exists(os.path.join(home, "etc", HISTORY)) and history_lines(home) >= FULL_HISTORY, 600, 0.05)
    game.terminate()
    game.wait(timeout=30)


def windows(display, title):
    return x.xdo(display, "search", "--onlyvisible", "--name", title).split()


def open_and_close(display, window, key, title):
    """Opens a window of the game by its key and closes it with Escape."""
    x.press(display, window, [key])
    x.wait_until("the window " + title, lambda: windows(display, title), 30)
    x.press(display, windows(display, title)[0], ["Escape"])
    x.wait_until("the window %s to close" % title, lambda: not windows(display, title), 30)


def greet_and_leave(line, answer):
    """A stranger: connects, sends one line (or nothing), reads the answer and leaves."""
    with socket.create_connection(("127.0.0.1", 1234), timeout=10) as peer:
        peer.sendall(line)
        reply = peer.makefile("rb").readline() if line else b""
    if reply != answer:
        x.fail("a stranger's %r was answered %r, not %r" % (line, reply, answer))


def challenge(tick):
    """A whole race as the challenger: the hand-shake, the start signal, positions asked until the
    winner is known, then a few result frames' wait and the close."""
    with socket.create_connection(("127.0.0.1", 1234), timeout=30) as peer:
        replies = peer.makefile("rb")

        def ask(line):
            peer.sendall(line)
            return replies.readline()

        if ask(b"TROTIX\n") != b"TROTIX\n":
            x.fail("the game did not greet the challenger")
        if len(ask(b"SOAK CHALLENGER+150\n")) != 16:
            x.fail("the game did not answer the name line with its name")
        peer.sendall(b"OKOKOK\n")
        time.sleep(5 * tick)
        peer.sendall(b"GOGOGO\n")
        deadline = time.time() + 600
        while True:
            fields = ask(b"ASKPOS\n").strip().split(b"+")
            if len(fields) != 3:
                x.fail("a position reply of %r" % b"+".join(fields))
            if fields[2] in (b"1", b"2"):
                break
            if time.time() > deadline:
                x.fail("the network race found no winner")
            time.sleep(tick)
        time.sleep(11 * tick)


def computer_race(display, window, log, tick):
    x.press(display, window, ["alt+r", "Up", "Return"])
    log.wait("trotix: MenuSelect>>change to race demo", 30)
    log.wait("trotix: Action>>call idle()", 300 + 200 * tick)


def network_race(display, window, log, tick, first):
    x.press(display, window, ["alt+r", "s"])
    log.wait("trotix: Action>>askServer()", 30)
    x.click(display, window, CONFIRM)
    log.wait("trotix: Action>>startServer()", 30)
    if first and "trotix: Failed to bind to port!!!" in x.read(log.path)[-3000:]:
        x.fail("port 1234 is held by another program: run the soak in a network namespace of its own")
    challenge(tick)
    log.wait("trotix: Action>>call idle()", 300 + 200 * tick)


def report(rows, last):
    shown = [row for row in rows if row[0] <= 5 or row[0] % 10 == 0 or row[0] == rows[-1][0]]
    print("| Race | Minutes | VmRSS (MB) | Descriptors |\n|---:|---:|---:|---:|")
    for race, seconds, rss, fds in shown:
        print("| %d | %.1f | %.1f | %d |" % (race, seconds / 60, rss / 1024, fds))
    if len(rows) > last:
        base, tail = rows[-last - 1], rows[-last:]
        print("Over the last %d races (after race %d): resident memory %+.2f MB (highest %+.2f MB), "
              "descriptors %+d (highest %+d)" % (last, base[0], (tail[-1][2] - base[2]) / 1024,
                                               (max(r[2] for r in tail) - base[2]) / 1024, tail[-1][3] - base[3],
                                               max(r[3] for r in tail) - base[3]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("game")
    parser.add_argument("pics")
    parser.add_argument("--races", type=int, default=200)
    parser.add_argument("--tick-ms", type=int, default=25)
    parser.add_argument("--csv", default="soak.csv")
    parser.add_argument("--last", type=int, default=150)
    parser.add_argument("--fresh-history", action="store_true", help="start from a horse without a history")
    args = parser.parse_args()
    # Stopped early, it still stops its game and X server.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    tick = args.tick_ms / 1000
    x.GAME, x.PICS = os.path.abspath(args.game), os.path.abspath(args.pics)
    root, display = x.start_xvfb("640x480x24")
    home = x.make_home(root, "home", ATTR)
    if not args.fresh_history:
        lengthen_history(root, display, home)
    log_path = os.path.join(root, "game.log")
    game, window = x.start_game(home, display, log_path, TROTIX_TICK_MS=str(args.tick_ms))
    log = Log(log_path)
    log.wait("trotix: Action>>call idle()", 60)
    began, rows = time.time(), []
    with open(args.csv, "w") as csv:
        csv.write("race,seconds,vmrss_kb,rssanon_kb,descriptors,history_lines\n")
        for race in range(1, args.races + 1):
            if race % NETWORK_EVERY == 1:
                network_race(display, window, log, tick, race == 1)
            else:
                computer_race(display, window, log, tick)
            open_and_close(display, window, "r", "Race record")
            open_and_close(display, window, "F1", "How to play")
            for line, answer in STRANGERS:
                greet_and_leave(line, answer)
            if game.poll() is not None:
                x.fail("the game ended (%d) in race %d" % (game.returncode, race))
            time.sleep(0.5)  # the last connection's close reaches the game
            rss, anon, fds = resources(game.pid)
            rows.append((race, time.time() - began, rss, fds))
            csv.write("%d,%.1f,%d,%d,%d,%d\n" % (race, rows[-1][1], rss, anon, fds, history_lines(home)))
            csv.flush()
            print("soak: race %d: %.1f MB, %d descriptors" % (race, rss / 1024, fds), flush=True)
    report(rows, args.last)
    # Every race counted: the record's tallies (computer, then network) add up to the races run.
    print("The race record after the soak: %r" % x.read(os.path.join(home, "etc", "trotix_record.conf")))
    return 0


if __name__ == "__main__":
    sys.exit(x.run(main))
