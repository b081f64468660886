#!/usr/bin/env python3
"""A game races the computer into a PulseAudio null sink (parec records its monitor): the recording
runs from the starting bell to the win or the loss. Sound off and no sound server are the unit
tests' (tst_care, the films hear every cue). A second game, on a server of its own, hops over ten
bales and runs for five seconds: ten hop sounds, then the hooves, each within a second of its frame
as the recording's clock has it.

Usage: sound.py <game binary> <pictures folder>; exits 77 without Xvfb, xdotool or PulseAudio.
"""
import array
import math
import os
import shutil
import subprocess
import time
import wave

import xsession as x

x.NAME = "sound"
RATE = 22050
ATTR = "SOUND|HORSE||||\n1.000000\n150.000000\n50.000000\n100.000000\n100.000000\n"
AUDIBLE = 300  # a sample above this is sound; the quietest sound peaks above 7000
LIKE = 0.7  # a sound recorded is the sound wanted from this likeness on


def sound_server(root, name, client_conf):
    """A PulseAudio server with a null sink, parec recording its monitor: (runtime folder, recording) or None."""
    run = os.path.join(root, name)
    os.makedirs(run, mode=0o700)
    env = dict(os.environ, XDG_RUNTIME_DIR=run, HOME=run, PULSE_CLIENTCONFIG=client_conf)
    x.started.append(subprocess.Popen(
        ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
         "-L", "module-null-sink sink_name=rec", "-L", "module-native-protocol-unix"],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    deadline = time.time() + 20
    while subprocess.run(["pactl", "info"], env=env, capture_output=True).returncode != 0:
        if time.time() > deadline:
            return None
        time.sleep(0.2)
    recording = os.path.join(root, name + ".raw")
    x.started.append(subprocess.Popen(["parec", "-d", "rec.monitor", "--raw", "--format=s16le", "--channels=1",
                                       "--rate=%d" % RATE], env=env, stdout=open(recording, "wb")))
    return run, recording


def samples(path):
    if path.endswith(".wav"):
        with wave.open(path) as w:
            return array.array("h", w.readframes(w.getnframes()))
    return array.array("h", open(path, "rb").read())


def likeness(recorded, start, sound):
    """How closely the recording from about `start` on matches `sound` (1: the same shape)."""
    def ncc(lag):
        part = recorded[start + lag:start + lag + len(sound)]
        energy = sum(v * v for v in part) * sum(v * v for v in sound)
        return sum(a * b for a, b in zip(part, sound)) / math.sqrt(energy) if energy else 0
    return max(ncc(lag) for lag in range(-200, 200, 2))


def onsets(recorded, sound):
    """Where in the recording `sound` starts after a quiet 50 ms, in seconds."""
    loud = [max(map(abs, recorded[i:i + 220]), default=0) > AUDIBLE for i in range(0, len(recorded), 220)]
    starts = [n * 220 + 110 for n in range(5, len(loud)) if loud[n] and not any(loud[n - 5:n])]
    sound = sound[next(i for i, v in enumerate(sound) if abs(v) > AUDIBLE):][:4000]
    return [i / RATE for i in starts if likeness(recorded, i, sound) >= LIKE]


def hops_and_run(root, display, client_conf, sounds):
    run, recording = sound_server(root, "jump-server", client_conf)
    home, log = x.make_home(root, "jumper", ATTR), os.path.join(root, "jumper.log")
    game, window = x.start_game(home, display, log, XDG_RUNTIME_DIR=run, PULSE_CLIENTCONFIG=client_conf)
    x.wait_for(log, "trotix: Action>>call idle()", 30)
    x.press(display, window, ["alt+a", "j"])
    frames = []  # when each cue's frame showed

    def frames_after(block):  # jump frames since the block-th bale appeared; rand() is never seeded
        parts = x.read(log).split("trotix: Random block generated!")
        return parts[block].count("jump step") if len(parts) > block else -1
    for block in range(1, 11):  # H after the fifth frame that follows the bale, before the sixth
        x.wait_until("bale %d" % block, lambda: frames_after(block) >= 5, 90, 0.01)
        x.xdo(display, "key", "--clearmodifiers", "h")
        x.wait_until("hop %d" % block, lambda: frames_after(block) >= 6, 5, 0.01)
        frames.append(time.time())
    x.press(display, window, ["alt+a", "r"])
    x.wait_for(log, "trotix: Action>>run step 1", 5)
    frames.append(time.time())
    x.wait_for(log, "trotix: Action>>run step", 10, count=6)
    x.press(display, window, ["ctrl+q"])
    game.wait(timeout=20)
    recorded = samples(recording)
    heard = [onsets(recorded, samples(os.path.join(sounds, name + ".wav"))) for name in ("hop", "hooves")]
    if len(heard[0]) != 10 or not heard[1]:
        x.fail("ten hops and a run were heard as %d hops and %d hoofbeats" % tuple(map(len, heard)))
    late = [at - frame for at, frame in zip(heard[0] + heard[1][:1], frames)]
    if max(late) - min(late) > 1:
        x.fail("a cue strayed from its frame by more than a second: %s" % ["%.2f" % (t - late[0]) for t in late])


def check_recording(recorded, sounds):
    heard = [i for i, v in enumerate(recorded) if abs(v) > AUDIBLE]
    if not heard:
        x.fail("the game with sound recorded silence")
    bell = samples(os.path.join(sounds, "startbell.wav"))
    bell = bell[next(i for i, v in enumerate(bell) if abs(v) > AUDIBLE):][:3000]
    # Any other of the game's sounds scores 0.2 at most against the bell, the bell itself about
    # 0.95 as recorded: a stream that stutters on a loaded machine costs a little of that.
    first = likeness(recorded, heard[0], bell)
    if first < LIKE:
        x.fail("the recording does not start with the starting bell (likeness %.2f)" % first)
    endings = []
    for name in ("win", "loss"):
        sound = samples(os.path.join(sounds, name + ".wav"))
        tail = sound[:max(i for i, v in enumerate(sound) if abs(v) > AUDIBLE) + 1][-6000:]
        endings.append(likeness(recorded, heard[-1] + 1 - len(tail), tail))
    if max(endings) < LIKE:
        x.fail("the recording does not end with the win or the loss (likeness %.2f, %.2f)" % tuple(endings))


def main():
    if not shutil.which("pulseaudio") or not shutil.which("parec"):
        print("sound: PulseAudio (pulseaudio, pulseaudio-utils) missing, skipped")
        return x.SKIP
    root, display = x.start_xvfb()
    client_conf = os.path.join(root, "client.conf")
    with open(client_conf, "w") as conf:
        conf.write("autospawn = no\n")  # a game finds its test's server or none, never starts one
    server = sound_server(root, "loud-server", client_conf)
    if server is None:
        print("sound: PulseAudio did not start here, skipped")
        return x.SKIP
    home, log = x.make_home(root, "loud", ATTR), os.path.join(root, "loud.log")
    game, window = x.start_game(home, display, log, XDG_RUNTIME_DIR=server[0], PULSE_CLIENTCONFIG=client_conf)
    x.wait_for(log, "trotix: Action>>call idle()", 30)
    x.press(display, window, ["alt+r", "Up", "Return"])
    x.wait_for(log, "trotix: MenuSelect>>change to race demo", 5)
    x.wait_for(log, "trotix: Action>>call idle()", 240, after="change to race demo")
    x.press(display, window, ["ctrl+q"])  # on the first idle tick: the result's sound is the last
    game.wait(timeout=20)
    time.sleep(1)  # the last of the sound through the server
    check_recording(samples(server[1]), os.path.join(os.path.dirname(x.PICS), "sounds"))
    hops_and_run(root, display, client_conf, os.path.join(os.path.dirname(x.PICS), "sounds"))
    print("sound: bell and result heard; ten hops and the hooves on their frames")
    return 0


if __name__ == "__main__":
    raise SystemExit(x.run(main))
