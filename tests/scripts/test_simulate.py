#!/usr/bin/env python3
"""The bot that plays the game: a day and a half of a casual player gives a table of the right shape that meets the
pace so far, and the same table again for the same seed; a run goes on from the folder of a stopped one, also of one
killed mid-run; the whole games written in docs/ meet the target and the checker names each way of missing it; and
a table of equipment that walls the forest off (a piece of gear no player can unlock) is caught as a wall."""
import json
import os
import plistlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

from driver import check, folders, game_binary

sys.path.insert(0, os.path.join(folders()[0], "tools", "content"))
import pacing  # noqa: E402

# A sanitizer build plays many times slower: each simulated run may take up to ten minutes there.
with open(os.path.join(folders()[1], "CMakeCache.txt")) as cache:
    SANITIZED = re.search(r"^RE_(SANITIZE|TSAN):BOOL=ON$", cache.read(), re.M) is not None
TIMEOUT = 600 if SANITIZED else 120

DAYS = 1.5


def shape(record):
    """The table holds what a pace is judged by, in an order that can be true."""
    dungeons = record["dungeons"]
    check([d["id"] for d in dungeons] == list(range(1, 11)), "ten dungeons")
    reached = [d for d in dungeons if d["firstExplore"] is not None]
    check(len(reached) >= 3, "a day and a half reaches the third dungeon: %r" % [d["name"] for d in reached])
    for d in reached:
        check(d["explores"] > 0 and d["deaths"] >= 0, "%s: explores counted" % d["name"])
        check(d["boss"] is None or d["boss"] > d["firstExplore"], "%s: the boss after the first explore" % d["name"])
    check(sum(d["deaths"] for d in dungeons[1:3]) > 0, "the forest and the desert bring coffins")
    book = record["book"]
    check(all(a[0] <= b[0] and a[1] < b[1] for a, b in zip(book, book[1:])) and book[-1][1] <= record["bookSize"], "the book grows")
    bought = record["equipment"]
    check(bought and all(a["time"] <= b["time"] for a, b in zip(bought, bought[1:])), "equipment bought, in time order")
    check(record["goldSpent"] == sum(e["price"] for e in bought) <= record["goldEarned"], "gold spent out of gold earned")
    check(record["goldEarned"] - record["goldSpent"] == record["gold"], "what is left is the purse")
    check(abs(record["played"] - DAYS * pacing.DAY) < pacing.DAY / 2, "played until the day limit: %r" % record["played"])


def breaking_resources(scratch):
    """The build's resources, but the leather shield waits for 999 hunts of the forest's boss: no player can buy it."""
    resources = os.path.join(scratch, "resources")
    shutil.copytree(os.path.abspath(os.path.join(folders()[1], "resources")), resources, copy_function=os.symlink)  # a tree of links
    path = os.path.join(resources, "tables", "equipments.plist")
    with open(path, "rb") as f:
        equipments = plistlib.load(f)
    os.unlink(path)
    shield = next(e for e in equipments if e["name"] == "Leather Shield")
    shield.update(monster=12, num=999)
    with open(path, "wb") as f:
        plistlib.dump(equipments, f)
    return resources


if __name__ == "__main__":
    binary = game_binary()
    for args, message in ((["--simulate", "--player", "lazy"], "--player takes"), (["--simulate", "--days", "0"], "--days needs"),
                          (["--report", "r.json"], "go with --simulate"), (["--simulate", "--script", "-"], "plays by itself")):
        refused = subprocess.run([binary, *args], capture_output=True, text=True, timeout=30)
        check(refused.returncode == 2 and message in refused.stderr, "%r: %r" % (args, refused.stderr))
    record, table = pacing.simulate(binary, "casual", seed=5, days=DAYS, timeout=TIMEOUT)
    shape(record)
    check(pacing.check_run(record, whole=False) == [], "the pace so far: %r" % pacing.check_run(record, whole=False))
    check("| 1. Clover Meadow |" in table and "First ending" in table, "the table printed: %s" % table)
    again, _ = pacing.simulate(binary, "casual", seed=5, days=DAYS, timeout=TIMEOUT)
    check(again == record, "one seed, one table")

    # Stopped after half a day and started again on its folder, the bot goes on where it was.
    # In memory where the system has it: the bot saves thousands of times, each one synced to disk.
    with tempfile.TemporaryDirectory(dir="/dev/shm" if os.path.isdir("/dev/shm") else None) as data:
        first, _ = pacing.simulate(binary, "eager", seed=2, days=0.5, data_dir=data, timeout=TIMEOUT)
        later, _ = pacing.simulate(binary, "eager", seed=2, days=1, data_dir=data, timeout=TIMEOUT)
        check(later.get("resumed") == 1 and later["visits"] > first["visits"], "resumed: %r" % later.get("resumed"))
        check(later["dungeons"][0] == first["dungeons"][0] and later["equipment"][:len(first["equipment"])] == first["equipment"],
              "what was measured before is kept")
        check(0.9 * pacing.DAY <= later["played"] <= 1.1 * pacing.DAY, "the days count from the first start: %r" % later["played"])

    # Killed in the middle of a run (as a power cut would), started again on its folder: it plays on to the day limit.
    with tempfile.TemporaryDirectory(dir="/dev/shm" if os.path.isdir("/dev/shm") else None) as data:
        command = [binary, "--simulate", "--player", "hourly", "--seed", "4", "--days", "2", "--data-dir", data]
        killed = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
        killed.kill()
        killed.wait()
        record, _ = pacing.simulate(binary, "hourly", seed=4, days=2, data_dir=data, timeout=TIMEOUT)
        check(abs(record["played"] - 2 * pacing.DAY) < pacing.DAY / 4 and record["dungeons"][0]["boss"] is not None, "played on: %r" % record)
        check(pacing.check_run(record, whole=False) == [], "a sound table after the kill: %r" % pacing.check_run(record, whole=False))

    # The whole games of docs/ meet the target, and the checker names each way of missing it.
    whole = {}
    for player in pacing.PLAYERS:
        with open(os.path.join(folders()[0], "docs", "pacing-%s.json" % player), encoding="utf-8") as f:
            whole[player] = json.load(f)
    check(pacing.check_target(whole) == [], "the target is met: %r" % pacing.check_target(whole))
    for player, key, value, fault in (("casual", "firstEnding", 7 * pacing.DAY, "casual: firstEnding after 7 d"),
                                      ("casual", "secondEnding", None, "casual: no secondEnding"),
                                      ("eager", "fullBook", whole["casual"]["fullBook"] * 0.9, "eager: fullBook after 90 %"),
                                      ("hourly", "secondEnding", whole["casual"]["secondEnding"] * 1.1, "hourly: secondEnding after")):
        broken = json.loads(json.dumps(whole))
        broken[player][key] = value
        check(any(f.startswith(fault) for f in pacing.check_target(broken)), "%s %s: %r" % (player, key, pacing.check_target(broken)))

    # The forest walled off: its boss never falls, and the days without anything new are caught.
    with tempfile.TemporaryDirectory() as scratch:
        env = dict(os.environ, RE_RESOURCE_DIR=breaking_resources(scratch))
        walled, _ = pacing.simulate(binary, "casual", seed=5, days=3, env=env, timeout=TIMEOUT)
        check(walled["dungeons"][1]["boss"] is None, "the forest's boss stays out of reach")
        faults = pacing.check_run(walled, whole=False)
        check(any("Whisperwood Forest is a wall" in f for f in faults), "the wall is caught: %r" % faults)
    print("simulate ok")
