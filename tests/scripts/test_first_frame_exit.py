#!/usr/bin/env python3
"""The measuring options of the game and the bare SDL2 yardstick that `make bench` times: each
stops right after its first frame, headless and in a window under Xvfb, printing FIRST_FRAME
once; the game still saves on the way out, and the window's mapping is no trip to the
background; a script run refuses them. The idle measurement's
data folder really holds a six-hour explore that the main screen shows after the title.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SOURCE = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
sys.path.insert(0, os.path.join(os.path.abspath(SOURCE), "benchmarks"))
from startup import Driver, XServer, prepare_long_explore  # noqa: E402


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def run(cmd, env, stdin=None):
    return subprocess.run(cmd, env=env, input=stdin, capture_output=True, text=True, timeout=60)


def first_frame_lines(result):
    return [line for line in result.stdout.splitlines() if line.startswith("FIRST_FRAME ")]


def main():
    build = sys.argv[2] if len(sys.argv) > 2 else os.path.join(SOURCE, "build")
    game = os.path.join(build, "royal-expedition")
    bare = os.path.join(build, "benchmarks", "bare_window")
    picture = os.path.join(build, "resources", "images", "title_bg@2x.png")
    check(os.path.exists(game), "no game binary at " + game)
    env = dict(os.environ, SDL_AUDIODRIVER="dummy")
    headless = dict(env, SDL_VIDEODRIVER="dummy")
    with tempfile.TemporaryDirectory() as data:
        r = run([game, "--headless", "--data-dir", data, "--exit-after-first-frame", "--print-frames"], headless)
        check(r.returncode == 0, "headless: %d %s" % (r.returncode, r.stderr))
        lines = first_frame_lines(r)
        check(len(lines) == 1 and float(lines[0].split()[1]) > 0, "headless: one FIRST_FRAME line: %r" % r.stdout)
        check("FRAMES 1 end" in r.stdout, "headless: one frame counted: %r" % r.stdout)
        check(os.path.exists(os.path.join(data, "savedstate.plist")), "the closing save still runs")

        r = run([game, "--headless", "--data-dir", data, "--exit-after-first-frame", "--script", "-"], headless, "wait 1\n")
        check(r.returncode == 2 and "script" in r.stderr, "a script run refuses it: %r" % r.stderr)

    with tempfile.TemporaryDirectory() as data:
        prepare_long_explore(game, data, headless)
        idle = Driver(game, data, int(time.time()), headless)
        idle.send("wait 2")
        idle.send("swipe 40 323 290 323 25")
        idle.send("wait 8")
        views = idle.views()
        names = [v["name"] for v in views]
        check("titleRoot" not in names and "exploreBtn" not in names, "the main screen during an explore: %r" % names)
        check(not [n for n in names if n.startswith("person")], "the party is away: %r" % names)
        left = [v.get("text", "") for v in views if v["name"] == "leftTimeLabel"]
        check(left and left[0].startswith("05:5"), "almost six hours left: %r" % left)
        idle.finish()

    if os.path.exists(bare) and os.path.exists(picture):
        r = run([bare, "--exit-after-first-frame", picture], headless)
        check(r.returncode == 0 and len(first_frame_lines(r)) == 1, "bare, headless: %r %r" % (r.stdout, r.stderr))
        r = run([bare, "--exit-after-first-frame", picture + ".missing"], headless)
        check(r.returncode == 1 and not first_frame_lines(r), "bare: a missing picture is an error")

    if not os.environ.get("DISPLAY") and not shutil.which("Xvfb"):
        print("first frame exit: ok (no X server, window runs skipped)")
        return
    with XServer() as x, tempfile.TemporaryDirectory() as data:
        # The X server's GL driver is loaded and unloaded at run time and keeps a few bytes that
        # the leak checker cannot name (its library is gone by then): leaks are checked headless.
        asan = os.environ.get("ASAN_OPTIONS", "")
        window = dict(env, DISPLAY=x.display, ASAN_OPTIONS=(asan + ":" if asan else "") + "detect_leaks=0")
        r = run([game, "--data-dir", data, "--exit-after-first-frame", "--print-frames"], window)
        check(r.returncode == 0, "window: %d %s" % (r.returncode, r.stderr))
        check(len(first_frame_lines(r)) == 1, "window: one FIRST_FRAME line: %r" % r.stdout)
        frames = [line for line in r.stdout.splitlines() if line.endswith(" end")]
        check(frames and int(frames[0].split()[1]) >= 1, "window: frames counted: %r" % r.stdout)
        check(os.path.exists(os.path.join(data, "window-size.txt")), "the window closes as usual (its size kept)")
        # X11 hides a new window once while mapping it: no trip to the background, so no reminder
        # was planned (and the sound was not closed and opened again).
        check(not os.path.exists(os.path.join(data, "notifications.json")), "the launch went to the background")
        if os.path.exists(bare) and os.path.exists(picture):
            r = run([bare, "--exit-after-first-frame", picture], window)
            check(r.returncode == 0 and len(first_frame_lines(r)) == 1, "bare, window: %r %r" % (r.stdout, r.stderr))
    print("first frame exit: ok")


if __name__ == "__main__":
    main()
