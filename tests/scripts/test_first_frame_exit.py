#!/usr/bin/env python3
"""The measuring options that `make bench` times, of the game and of the bare SDL2 yardstick: each stops after its first
frame, headless and under Xvfb, printing FIRST_FRAME once; the game still saves, the window's mapping is no trip to the
background, a script run refuses them; the idle measurement's data folder holds a six-hour explore."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from driver import check, folders, game_binary

sys.path.insert(0, os.path.join(os.path.abspath(folders()[0]), "benchmarks"))
from startup import Driver, XServer, prepare_long_explore  # noqa: E402


def first_frame(cmd, env, lines=1, status=0, stdin=None):
    """Runs to the exit; checks the status and the number of FIRST_FRAME lines; the standard output."""
    r = subprocess.run(cmd, env=env, input=stdin, capture_output=True, text=True, timeout=60)
    found = [line for line in r.stdout.splitlines() if line.startswith("FIRST_FRAME ")]
    check(r.returncode == status and len(found) == lines and all(float(f.split()[1]) > 0 for f in found), "%r: %d %r %r" % (cmd, r.returncode, r.stdout, r.stderr))
    return r.stdout + r.stderr


game, bare = game_binary(), os.path.join(folders()[1], "benchmarks", "bare_window")
picture = os.path.join(folders()[1], "resources", "images", "title_bg@2x.png")
env = dict(os.environ, SDL_AUDIODRIVER="dummy")
headless = dict(env, SDL_VIDEODRIVER="dummy")
with tempfile.TemporaryDirectory() as data:
    out = first_frame([game, "--headless", "--data-dir", data, "--exit-after-first-frame", "--print-frames"], headless)
    check("FRAMES 1 end" in out and os.path.exists(os.path.join(data, "savedstate.plist")), "one frame counted, then the closing save")
    out = first_frame([game, "--headless", "--data-dir", data, "--exit-after-first-frame", "--script", "-"], headless, 0, 2, "wait 1\n")
    check("script" in out, "a script run refuses it: %r" % out)

with tempfile.TemporaryDirectory() as data:
    prepare_long_explore(game, data, headless)
    idle = Driver(game, data, int(time.time()), headless)
    idle.through_title()
    names = [v["name"] for v in idle.views()]
    check("exploreBtn" not in names and not idle.persons(), "the main screen during an explore, the party away: %r" % names)
    check((idle.text_of("leftTimeLabel") or "").startswith("05:5"), "almost six hours left: %r" % idle.text_of("leftTimeLabel"))
    idle.finish()

has_bare = os.path.exists(bare) and os.path.exists(picture)
if has_bare:
    first_frame([bare, "--exit-after-first-frame", picture], headless)
    first_frame([bare, "--exit-after-first-frame", picture + ".missing"], headless, 0, 1)
if not os.environ.get("DISPLAY") and not shutil.which("Xvfb"):
    print("no X server: the window runs are skipped")
else:
    with XServer() as x, tempfile.TemporaryDirectory() as data:
        # The X server's GL driver is loaded and unloaded at run time and keeps a few bytes that the leak checker
        # cannot name (its library is gone by then): leaks are checked headless.
        asan = os.environ.get("ASAN_OPTIONS", "")
        window = dict(env, DISPLAY=x.display, ASAN_OPTIONS=(asan + ":" if asan else "") + "detect_leaks=0")
        out = first_frame([game, "--data-dir", data, "--exit-after-first-frame", "--print-frames"], window)
        frames = [line for line in out.splitlines() if line.endswith(" end")]
        check(frames and int(frames[0].split()[1]) >= 1, "window: frames counted: %r" % out)
        check(os.path.exists(os.path.join(data, "window-size.txt")), "the window closes as usual (its size kept)")
        # X11 hides a new window once while mapping it: no trip to the background, so no reminder was planned.
        check(not os.path.exists(os.path.join(data, "notifications.json")), "the launch went to the background")
        if has_bare:
            first_frame([bare, "--exit-after-first-frame", picture], window)
