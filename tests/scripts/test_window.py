#!/usr/bin/env python3
"""The game in a window on its own X server without a window manager: F11 makes the window cover the display with the
whole picture letterboxed in it, a second F11 brings the windowed size back, and only that size is kept for the next
start; hiding the window sends the game to the background (a reminder is planned) and showing it again brings it
back (the reminder cancelled); the sound library says nothing, the game at most one line."""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from driver import check, folders, game_binary

sys.path.insert(0, os.path.join(os.path.abspath(folders()[0]), "benchmarks"))
from startup import XServer  # noqa: E402

if not all(shutil.which(tool) for tool in ("Xvfb", "xdotool", "import")):
    print("no Xvfb, xdotool or ImageMagick: skipped")
    sys.exit(0)
os.environ.pop("DISPLAY", None)  # always a server of its own: fullscreen is not tried on the desktop in use


def until(condition, what, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        if value := condition():
            return value
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


with XServer() as x, tempfile.TemporaryDirectory() as data:
    env = dict(os.environ, DISPLAY=x.display)
    env.pop("SDL_AUDIODRIVER", None)
    env["ASAN_OPTIONS"] = (env.get("ASAN_OPTIONS", "") + ":detect_leaks=0").lstrip(":")  # the X server's GL driver

    def xdo(*args):
        return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=10).stdout

    def size(window):
        geometry = xdo("getwindowgeometry", window).split("Geometry:")
        return tuple(int(n) for n in geometry[1].split()[0].split("x")) if len(geometry) > 1 else None

    def key(window, name):
        xdo("windowfocus", "--sync", window)
        xdo("key", name)

    def reminders():
        """The planned notifications that carry user info (the three-day reminder)."""
        try:
            with open(os.path.join(data, "notifications.json")) as f:
                return sum(1 for n in json.load(f).get("scheduled", []) if n.get("userInfo"))
        except FileNotFoundError:
            return 0

    def pixels():
        """The whole X screen: (width, height, rows of RGB triples)."""
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=env, capture_output=True, timeout=20).stdout
        width, height = 1280, 1024
        return [[raw[(y * width + x) * 3:(y * width + x) * 3 + 3] for x in range(0, width, 16)] for y in range(0, height, 16)]

    game = subprocess.Popen([game_binary(), "--data-dir", data], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        window = until(lambda: xdo("search", "--onlyvisible", "--name", "Royal Expedition").split()[:1], "the window")[0]
        windowed = until(lambda: size(window), "its size")
        time.sleep(3)
        key(window, "F11")
        check(until(lambda: size(window) == (1280, 1024), "fullscreen", 10), "F11 covers the display")
        time.sleep(1.5)
        rows = pixels()
        lit = [x for row in rows for x, p in enumerate(row) if sum(p) > 30]
        # The picture (640 x 960 at a whole scale) stands centred: ink from column 320 to 960, black beside it.
        check(lit and min(lit) * 16 >= 300 and max(lit) * 16 <= 980 and max(lit) - min(lit) >= 30, "letterboxed: %r" % (lit[:3],))
        key(window, "F11")
        check(until(lambda: size(window) == windowed, "the windowed size", 10), "F11 again: %r" % (size(window),))
        time.sleep(0.5)
        check(reminders() == 0, "nothing planned while in front")
        xdo("windowunmap", "--sync", window)
        check(until(lambda: reminders() == 1, "the reminder", 10), "hidden, the game goes to the background and plans its reminder")
        xdo("windowmap", "--sync", window)
        check(until(lambda: reminders() == 0, "the cancel", 10), "shown again, the game is back and the reminder cancelled")
    finally:
        game.send_signal(signal.SIGTERM)
        out, errors = game.communicate(timeout=30)
    check(game.returncode == 0, "closed: %d %s" % (game.returncode, errors))
    with open(os.path.join(data, "window-size.txt")) as f:
        kept = tuple(int(n) for n in f.read().split())
    check(kept == windowed, "the windowed size is kept, not the fullscreen one: %r" % (kept,))
    check("ALSA" not in errors and sum("sound" in line for line in errors.splitlines()) <= 1, "quiet about the sound: %r" % errors)
