"""Real games under a virtual X server, driven as players drive them: keys, typing and clicks
through xdotool, progress read from each game's log. Shared by the end-to-end tests."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
GAME, PICS = (sys.argv + ["", ""])[1:3]  # each test runs as: <script> <game binary> <pictures folder>
NAME = "e2e"  # the test's name, put in front of its messages

started = []  # processes, stopped at the end in reverse order
roots = []  # temporary folders, removed at the end


def fail(message):
    print("%s: FAIL: %s" % (NAME, message), flush=True)
    raise SystemExit(1)


def start_xvfb(screen="800x600x24"):
    """A virtual X server and a temporary folder for the test: (folder, display)."""
    roots.append(tempfile.mkdtemp(prefix="trotix-%s-" % NAME))
    # A server that lost a display's lock to another test's, started at the same moment, gives up.
    for _ in range(3):
        read_fd, write_fd = os.pipe()
        # -noreset: by default an X server resets when its last client leaves, and a game started again
        # at that moment finds no server (a test that restarts its game, one after the other, did).
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"],
                                pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        started.append(xvfb)
        with os.fdopen(read_fd, "rb") as pipe:
            number = pipe.readline().strip()
        if number:
            return roots[-1], ":" + number.decode()
    fail("Xvfb did not start")


def make_home(root, name, attr=None):
    """A platform folder with the pictures and sounds; attr is the horse's file (None: no file yet)."""
    home = os.path.join(root, name)
    os.makedirs(os.path.join(home, "etc"))
    os.symlink(PICS, os.path.join(home, "pics"))
    os.symlink(os.path.join(os.path.dirname(PICS), "sounds"), os.path.join(home, "sounds"))
    if attr is not None:
        with open(os.path.join(home, "etc", "trotix_attr.conf"), "w") as attr_file:
            attr_file.write(attr)
    return home


def start_game(home, display, log_path, scale="1", **more_env):
    """The game and its window. Zoom 1 by default, so that clicks land at the game's own coordinates;
    None leaves it to the game. Window settings stay in its home; more_env overrides the environment."""
    env = {name: value for name, value in os.environ.items() if name not in ("WAYLAND_DISPLAY", "TROTIX_SCALE")}
    env.update(QPEDIR=home, DISPLAY=display, QT_QPA_PLATFORM="xcb", TROTIX_SCALE=scale or "",
               XDG_RUNTIME_DIR=os.path.join(home, "run"), XDG_CONFIG_HOME=os.path.join(home, "config"))
    # No game of a test is announced on the tester's network: the system bus is a dead end unless
    # the test made one of its own (lanns.sh).
    env.setdefault("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + os.path.join(home, "no-system-bus"))
    env.update(more_env)
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    game = subprocess.Popen([GAME], env=env, stdout=open(log_path, "wb"), stderr=subprocess.STDOUT, cwd=home)
    started.append(game)
    return game, window_of(display, game, log_path)


def xdo(display, *args):
    result = subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=display),
                            capture_output=True, text=True, timeout=30)
    if result.returncode != 0 and args[0] != "search":
        fail("xdotool %s: %s" % (" ".join(map(str, args)), result.stderr.strip()))
    return result.stdout


def geometry(display, window):
    return {key: int(value) for key, value in (line.split("=") for line in xdo(display, "getwindowgeometry", "--shell", window).split())}


def size(display, window):
    values = geometry(display, window)
    return values["WIDTH"], values["HEIGHT"]


def popups(display, game, window):
    """The game's visible windows besides its main one: its open pop-up menus."""
    return [w for w in xdo(display, "search", "--onlyvisible", "--pid", game.pid).split() if w != window]


def start_openbox(display):
    """openbox, once it runs: a window mapped while the manager is still starting stays unmapped."""
    env = dict(os.environ, DISPLAY=display)
    started.append(subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_until("openbox", lambda: "window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                                                capture_output=True, text=True).stdout)


def stop(game):
    game.terminate()
    game.wait(timeout=10)


def window_of(display, game, log_path):
    """The game's window; a loaded machine (builds beside the tests) can take long to map it."""
    found = []
    def mapped():
        if game.poll() is not None:
            fail("a game ended (%d) before showing its window; log ends:\n%s" % (game.returncode, read(log_path)[-1500:]))
        found[:] = xdo(display, "search", "--onlyvisible", "--pid", game.pid).split()
        return found
    wait_until("a game window", mapped, 90)
    return found[0]


def read(path):
    with open(path, "rb") as log:
        return log.read().decode("latin-1")


def wait_until(what, condition, timeout=30, pause=0.2):
    deadline = time.time() + timeout
    while not condition():
        if time.time() > deadline:
            fail("waited %ds for %s" % (timeout, what() if callable(what) else what))
        time.sleep(pause)


def wait_for(path, text, timeout, count=1, after=""):
    """Waits until text appears count times (after the first line holding `after`)."""
    def seen():
        log = read(path)
        return log.find(after) >= 0 and log[log.find(after):].count(text) >= count
    wait_until(lambda: "%r in %s; log ends:\n%s" % (text, os.path.basename(path), read(path)[-1500:]), seen, timeout, 0.02)


def press(display, window, keys):
    xdo(display, "windowfocus", "--sync", window)
    for key in keys:
        xdo(display, "key", "--clearmodifiers", key)
        time.sleep(0.3)


def click(display, window, at, button=1):
    xdo(display, "mousemove", "--window", window, at[0], at[1])
    time.sleep(0.2)
    xdo(display, "click", button)


def run(main, tools=("Xvfb", "xdotool")):
    """Runs the test's main (skipped without one of its tools), then stops every process it
    started and removes its folders."""
    missing = [tool for tool in tools if not shutil.which(tool)]
    if missing:
        print("%s: %s missing, skipped" % (NAME, " and ".join(missing)))
        return SKIP
    try:
        return main()
    finally:
        for process in reversed(started):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
        for root in roots:
            shutil.rmtree(root, ignore_errors=True)
