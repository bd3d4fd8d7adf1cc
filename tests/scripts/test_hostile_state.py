#!/usr/bin/env python3
"""Hostile saved states and command lines. Each saved state (NaN, infinite and extreme times, counters of +-2^63, a
200,000-element array, values of the wrong kind) starts within a time budget and reaches a state where the player can
act: the explore button, or the suspend button of a running explore. Bad command lines and script lines are refused
with status 2 at once; a headless run leaves the player's own data folder alone."""
import math
import os
import subprocess
import tempfile
import time

from driver import EPOCH, QUIET, Game, check, english, game_binary, run

OUT = EPOCH - 30  # a party that set out half a minute ago
HOSTILE = {
    "numComeback -2^63": {"timestamp_start": OUT, "numComeback": -2 ** 63},
    "numComeback 2^64-1": {"timestamp_start": OUT, "numComeback": 2 ** 64 - 1},
    "numComeback huge real": {"timestamp_start": OUT, "numComeback": 1e300},
    "timestamp NaN": {"timestamp_start": math.nan, "numComeback": 3},
    "timestamp inf": {"timestamp_start": math.inf},
    "timestamp -inf": {"timestamp_start": -math.inf},
    "timestamp 1e300": {"timestamp_start": 1e300},
    "timestamp 2^64-1": {"timestamp_start": 2 ** 64 - 1},
    "timestamp -1e300": {"timestamp_start": -1e300},
    "timestamp as text": {"timestamp_start": "yesterday", "numComeback": "many"},
    "200,000 monsters": {"monsters": [0] * 200000, "totalMonster": 2 ** 63 - 1},
    "kinds confused": {"gold": "lots", "totalGold": [1], "goldRate": math.inf, "timeRate": math.nan, "monsters": {"a": 1},
                       "current_dungeon_id": -5, "battleLogs": "none", "timestamp_boss": math.nan, "person_1": [1, 2],
                       "member_1": "x", "timestamp_start": {"at": 1}},
}
BUDGET = 20.0  # seconds from the launch until the player can act, generous for instrumented and loaded machines


def can_act(game):
    for _ in range(12):
        if game.visible("exploreBtn") or game.visible("suspendBtn"):
            return True
        game.dismiss_hints()
        game.wait(5)
    return False


for name, values in HOSTILE.items():
    with tempfile.TemporaryDirectory() as data:
        started = time.monotonic()
        game = Game(data, state=dict(QUIET, **values))
        game.through_title()
        check(can_act(game), "%s: the player can act" % name)
        took = time.monotonic() - started
        check(took < BUDGET, "%s: took %.1f s" % (name, took))
        label = game.text_of("leftTimeLabel") or ""
        check("-" not in label and len(label) <= 12, "%s: the time left reads %r" % (name, label))
        game.send("clock 86400")
        game.wait(2)
        check(can_act(game), "%s: still after a day" % name)
        game.finish()

# Command lines that cannot work are refused at once, status 2.
with tempfile.TemporaryDirectory() as data:
    binary = game_binary()
    for extra in (["--epoch", "1e308"], ["--time", "1e7"], ["--screenshot", ""], ["--lang", "/etc/passwd"], ["--lang", "xx"],
                  ["--script", data, "--data-dir", data]):
        result = subprocess.run([binary, "--headless", *extra], capture_output=True, text=True, timeout=30)
        check(result.returncode == 2 and result.stderr, "%r: status %d %r" % (extra, result.returncode, result.stderr))
    for line in ("wait 1e17", "wait 86401", "clock -1e20", "clock 1e300"):
        started = time.monotonic()
        out = run(data, line + "\n", status=2)
        check("line 1" in out["errors"] and time.monotonic() - started < 30, "%r is refused: %r" % (line, out["errors"]))

# A headless picture without --data-dir leaves the player's folder alone.
with tempfile.TemporaryDirectory() as home:
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "share"))
    env.pop("RE_DATA_DIR", None)
    result = subprocess.run([game_binary(), "--headless", "--screenshot", os.path.join(home, "shot.png"), "--time", "1"],
                            capture_output=True, text=True, timeout=60, env=env)
    check(result.returncode == 0, "the picture is taken: %s" % result.stderr)
    check(sorted(os.listdir(home)) == ["shot.png"], "nothing else is written: %r" % os.listdir(home))


# A data folder that cannot be written: the player is told in the game's words at the first failed save, once at a time,
# and the progress reaches the disk as soon as saving works again.
with tempfile.TemporaryDirectory() as top:
    blocker = os.path.join(top, "blocked")
    open(blocker, "w").close()  # a file where the data folder's parent should be
    data = os.path.join(blocker, "data")
    game = Game(data)

    def notices():
        return [v for v in game.views() if v["name"] == "alertMessageLabel" and v.get("text") == english("SaveFailed")]

    game.wait(2)
    game.send("background")
    game.send("activate")
    game.wait(1)
    check(notices(), "the first failed save is told at once")
    game.send("background")
    game.wait(1)
    check(len(notices()) == 1, "one notice at a time")
    os.remove(blocker)
    game.send("activate")
    game.send("background")
    game.wait(1)
    check(os.path.exists(os.path.join(data, "savedstate.plist")), "saved as soon as the folder can be written")
    game.finish()
