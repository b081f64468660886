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
    root = tempfile.mkdtemp(prefix="trotix-%s-" % NAME)
    roots.append(root)
    return root


def start_xvfb(screen="800x600x24"):
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", screen, "-nolisten", "tcp"],
        pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    started.append((xvfb, "Xvfb"))
    number = b""
    with os.fdopen(read_fd, "rb") as pipe:
        while not number.endswith(b"\n"):
            chunk = pipe.read(1)
            if not chunk:
                fail("Xvfb did not start")
            number += chunk
    return ":" + number.decode().strip()


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
    """scale None leaves the zoom to the game (the screen, or the remembered choice)."""
    env = dict(os.environ)
    env.pop("WAYLAND_DISPLAY", None)
    runtime = os.path.join(home, "run")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    # Zoom 1 by default: clicks are placed at the game's own coordinates. The remembered window
    # settings stay in the game's home, never the developer's.
    env.pop("TROTIX_SCALE", None)
    if scale is not None:
        env["TROTIX_SCALE"] = scale
    env.update(QPEDIR=home, DISPLAY=display, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime,
               XDG_CONFIG_HOME=os.path.join(home, "config"))
    log = open(log_path, "wb")
    game = subprocess.Popen([game_binary], env=env, stdout=log, stderr=subprocess.STDOUT, cwd=home)
    started.append((game, log_path))
    return game


def xdo(display, *args):
    env = dict(os.environ, DISPLAY=display)
    result = subprocess.run(["xdotool", *map(str, args)], env=env, capture_output=True, text=True, timeout=30)
    if result.returncode != 0:
        fail("xdotool %s: %s" % (" ".join(map(str, args)), result.stderr.strip()))
    return result.stdout


def window_of(display, game):
    deadline = time.time() + 30
    while time.time() < deadline:
        env = dict(os.environ, DISPLAY=display)
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(game.pid)],
                               env=env, capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        if game.poll() is not None:
            fail("a game ended before showing its window")
        time.sleep(0.2)
    fail("no game window")


def read(path):
    with open(path, "rb") as log:
        return log.read().decode("latin-1")


def wait_for(path, text, timeout, count=1):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if read(path).count(text) >= count:
            return
        time.sleep(0.05)
    fail("%s: waited %ds for %r; log ends:\n%s" % (os.path.basename(path), timeout, text, read(path)[-1500:]))


def wait_after(path, marker, text, timeout):
    """Waits until text appears after the first marker line."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        log = read(path)
        start = log.find(marker)
        if start >= 0 and text in log[start:]:
            return
        time.sleep(0.5)
    fail("%s: waited %ds for %r after %r; log ends:\n%s"
         % (os.path.basename(path), timeout, text, marker, read(path)[-1500:]))


def press(display, window, keys):
    xdo(display, "windowfocus", "--sync", window)
    for key in keys:
        xdo(display, "key", "--clearmodifiers", key)
        time.sleep(0.3)


def click(display, window, at):
    xdo(display, "mousemove", "--window", window, at[0], at[1])
    time.sleep(0.2)
    xdo(display, "click", "1")


def run(main):
    """Runs the test's main, then stops every process it started and removes its folders."""
    code = 1
    try:
        code = main()
    finally:
        for process, _ in reversed(started):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        for root in roots:
            shutil.rmtree(root, ignore_errors=True)
    return code
