"""Real games under a virtual X server, driven as players drive them: keys, typing and clicks
through xdotool, progress read from each game's log. Shared by the end-to-end tests."""
import os
import shutil
import signal
import subprocess
import tempfile
import time

SKIP = 77
NAME = "e2e"  # the test's name, put in front of its messages

started = []  # (process, name), stopped at the end in reverse order
roots = []  # temporary folders, removed at the end


def fail(message):
    print("%s: FAIL: %s" % (NAME, message), flush=True)
    raise SystemExit(1)


def tools_missing():
    return not shutil.which("Xvfb") or not shutil.which("xdotool")


def temporary_root():
    roots.append(tempfile.mkdtemp(prefix="trotix-%s-" % NAME))
    return roots[-1]


def start_xvfb(screen="800x600x24"):
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", screen, "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    started.append((xvfb, "Xvfb"))
    with os.fdopen(read_fd, "rb") as pipe:
        number = pipe.readline().strip()
    if not number:
        fail("Xvfb did not start")
    return ":" + number.decode()


def make_home(root, name, pics, attr=None):
    """A platform folder with the pictures; attr is the horse's file (None: no file yet)."""
    home = os.path.join(root, name)
    os.makedirs(os.path.join(home, "etc"))
    os.symlink(pics, os.path.join(home, "pics"))
    if attr is not None:
        with open(os.path.join(home, "etc", "trotix_attr.conf"), "w") as attr_file:
            attr_file.write(attr)
    return home


def start_game(game_binary, home, display, log_path, scale="1"):
    """Zoom 1 by default, so that clicks land at the game's own coordinates; None leaves the zoom
    to the game. The remembered window settings stay in the game's home."""
    env = dict(os.environ, QPEDIR=home, DISPLAY=display, QT_QPA_PLATFORM="xcb",
               XDG_RUNTIME_DIR=os.path.join(home, "run"), XDG_CONFIG_HOME=os.path.join(home, "config"))
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("TROTIX_SCALE", None)
    if scale is not None:
        env["TROTIX_SCALE"] = scale
    game = subprocess.Popen([game_binary], env=env, stdout=open(log_path, "wb"), stderr=subprocess.STDOUT, cwd=home)
    started.append((game, log_path))
    return game


def xdo(display, *args):
    result = subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=display),
                            capture_output=True, text=True, timeout=30)
    if result.returncode != 0 and args[0] != "search":
        fail("xdotool %s: %s" % (" ".join(map(str, args)), result.stderr.strip()))
    return result.stdout


def window_of(display, game):
    # A loaded machine (builds beside the tests) can take long to map a window.
    deadline = time.time() + 90
    while time.time() < deadline:
        found = xdo(display, "search", "--onlyvisible", "--pid", game.pid).split()
        if found:
            return found[0]
        if game.poll() is not None:
            log = next(path for started_game, path in started if started_game is game)
            fail("a game ended (%d) before showing its window; log ends:\n%s" % (game.returncode, read(log)[-1500:]))
        time.sleep(0.2)
    fail("no game window")


def read(path):
    with open(path, "rb") as log:
        return log.read().decode("latin-1")


def wait_for(path, text, timeout, count=1, after=""):
    """Waits until text appears count times (after the first line holding `after`)."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        log = read(path)
        start = log.find(after)
        if start >= 0 and log[start:].count(text) >= count:
            return
        time.sleep(0.05)
    fail("%s: waited %ds for %r; log ends:\n%s" % (os.path.basename(path), timeout, text, read(path)[-1500:]))


def press(display, window, keys):
    xdo(display, "windowfocus", "--sync", window)
    for key in keys:
        xdo(display, "key", "--clearmodifiers", key)
        time.sleep(0.3)


def click(display, window, at, button=1):
    xdo(display, "mousemove", "--window", window, at[0], at[1])
    time.sleep(0.2)
    xdo(display, "click", button)


def run(main):
    """Runs the test's main, then stops every process it started and removes its folders."""
    try:
        return main()
    finally:
        for process, _ in reversed(started):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
        for root in roots:
            shutil.rmtree(root, ignore_errors=True)
