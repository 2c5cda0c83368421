#!/usr/bin/python3
"""The sound's rows of scripts/bench, through SDL's disk driver (it writes what the device is given
to a file, at the device's pace, right after our callback filled the buffer): the time from a key
to its tone in the device's buffer, with the device let go (opened by the sound) and while it is
open; the game's work in play while the aim clicks all the time, beside the same play muted; the
title after sounds have played. Asserts nothing.

usage: sound_bench.py <kestrilon> [repeats] [seconds]   (on $DISPLAY, an X server of its own)"""
import array
import ctypes
import os
import statistics
import subprocess
import sys
import tempfile
import time

game = os.path.abspath(sys.argv[1])
repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 10
seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 4

x11 = ctypes.CDLL("libX11.so.6")
xtest = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XStringToKeysym.restype = ctypes.c_ulong
xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)


def key(name):
    code = x11.XKeysymToKeycode(display, x11.XStringToKeysym(name.encode()))
    xtest.XTestFakeKeyEvent(display, code, 1, 0)
    xtest.XTestFakeKeyEvent(display, code, 0, 0)
    x11.XFlush(display)


def usage(pid):
    """Processor nanoseconds and voluntary context switches (wake-ups) of all the game's threads."""
    cpu = wakeups = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            cpu += int(open("/proc/%d/task/%s/schedstat" % (pid, task)).read().split()[0])
            for line in open("/proc/%d/task/%s/status" % (pid, task)):
                if line.startswith("voluntary_ctxt_switches"):
                    wakeups += int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return cpu, wakeups


def measure(pid, during=None):
    """The game's share of a core and its wake-ups a second over `seconds`; `during` is called
    five times a second meanwhile."""
    cpu, wakeups = usage(pid)
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if during:
            during()
        time.sleep(0.2)
    elapsed = time.monotonic() - start
    cpu2, wakeups2 = usage(pid)
    return (cpu2 - cpu) / elapsed / 1e7, (wakeups2 - wakeups) / elapsed


def start(folder, *options):
    samples = os.path.join(folder, "sound.raw")
    environment = dict(os.environ, XDG_DATA_HOME=os.path.join(folder, "data"), SDL_AUDIODRIVER="disk",
                       SDL_DISKAUDIOFILE=samples)
    process = subprocess.Popen([game, "--scale", "1", *options], cwd=folder, env=environment,
                               stderr=subprocess.DEVNULL)
    window = subprocess.run(["xdotool", "search", "--sync", "--class", "PROMPT"], capture_output=True,
                            text=True, timeout=20).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], stderr=subprocess.DEVNULL)
    time.sleep(1)
    return process, samples


def tone_reached(samples, since):
    """Seconds from `since` until a sample that is not silence is in the file."""
    seen = 0
    while time.monotonic() - since < 2:
        try:
            with open(samples, "rb") as file:
                if os.fstat(file.fileno()).st_size < seen:
                    seen = 0  # the device was opened again: a new file
                file.seek(seen)
                data = file.read()
        except FileNotFoundError:
            data = b""
        if any(array.array("f", data[:len(data) - len(data) % 4])):
            return time.monotonic() - since
        seen += len(data) - len(data) % 4
        time.sleep(0.0002)
    return float("nan")


def row(figure, ours, reference=""):
    print("| %s | %s | %s |" % (figure, ours, reference))


def spread(values):
    values = [value for value in values if value == value]  # a key that met a banner sounds not
    return "%.1f ms median (%.1f-%.1f) of %d" % (1000 * statistics.median(values), 1000 * min(values),
                                                1000 * max(values), len(values))


with tempfile.TemporaryDirectory() as folder:
    process, samples = start(folder)
    title = measure(process.pid)
    key("Return")
    time.sleep(0.5)
    opening, open_already = [], []
    for _ in range(repeats):
        key("Return")  # a MISS banner skipped, or a game started again after GAME OVER
        time.sleep(1.6)  # the device is let go after a second of silence
        try:
            os.remove(samples)
        except FileNotFoundError:
            pass
        began = time.monotonic()
        key("x")
        opening.append(tone_reached(samples, began))
        time.sleep(0.3)
        if os.path.exists(samples):
            os.truncate(samples, 0)
        began = time.monotonic()
        key("x")
        open_already.append(tone_reached(samples, began))
    row("key to its tone in the device's buffer, the device let go (opened by the sound), SDL disk "
        "driver, 512-frame buffer", spread(opening))
    row("key to its tone in the device's buffer, the device open", spread(open_already))
    key("Return")
    play = measure(process.pid, lambda: key("x"))
    process.terminate()
    process.wait()

    # A fresh game: thirty shots end it long before an invader arrives; Return skips its banner;
    # the title waits once GAME OVER's second of sound and the second of silence after it are over.
    process, samples = start(folder)
    key("Return")
    time.sleep(0.5)
    for _ in range(60):
        key("z")
        time.sleep(0.05)
    key("Return")
    time.sleep(3)
    after = measure(process.pid)
    process.terminate()
    process.wait()

    muted_process, _ = start(folder, "--mute")
    key("Return")
    time.sleep(0.5)
    muted = measure(muted_process.pid, lambda: key("x"))
    muted_process.terminate()
    muted_process.wait()

row("CPU while the title waits, sound on, before any sound", "%.2f %% of a core, %.0f wake-ups/s" % title)
row("CPU while the title waits, sound on, after a game's sounds", "%.2f %% of a core, %.0f wake-ups/s" % after)
row("CPU in play, the aim clicking 5 times a second, sound on (disk driver)",
    "%.2f %% of a core, %.0f wake-ups/s" % play, "the same play muted: %.2f %%, %.0f wake-ups/s" % muted)
