#!/usr/bin/env python3
"""What the player sees stays the same pixel for pixel while the drawing is made cheaper: the title, the opening story,
the main screen during an explore and a full stage, taken by the game, equal the pictures kept in tests/screens/.
A change meant to alter the picture writes them again with RE_WRITE_SCREENS=1 (and says so in its commit)."""
import os
import shutil
import subprocess
import tempfile

from driver import QUIET, Game, check, folders

SOURCE = folders()[0]
KEPT = os.path.join(SOURCE, "tests", "screens")
WRITE = os.environ.get("RE_WRITE_SCREENS") == "1"
DESERT, INTERVAL = 3, 15
FULL_STAGE = dict(QUIET, current_dungeon_id=DESERT, shopUnlocked=True, gold=48210, goldRate=1.25,
                  monsters=[{"monster_id": m, "times": 3, "viewed": True} for m in (1, 2, 6, 7, 9, 12)],
                  **{"member_%d" % m: {"member_id": m} for m in range(1, 11)},
                  **{"equip_%d" % e: {"equip_id": e} for e in (1, 2, 3, 5)})
failures = []


def same_as_kept(game, name):
    taken = os.path.join(game.data_dir, name + ".png")
    game.send("screenshot " + taken)
    kept = os.path.join(KEPT, name + ".png")
    if WRITE:
        os.makedirs(KEPT, exist_ok=True)
        shutil.copyfile(taken, kept)
        return
    check(os.path.exists(kept), "no kept picture %s (write them with RE_WRITE_SCREENS=1)" % kept)
    # ImageMagick counts the pixels that differ at all (no fuzz): 0 is the only pass.
    result = subprocess.run(["compare", "-metric", "AE", kept, taken, "null:"], capture_output=True, text=True, timeout=60)
    differing = result.stderr.strip()
    if result.returncode != 0 or differing != "0":
        keep = os.path.join(folders()[1], "screens-differ-" + name + ".png")
        shutil.copyfile(taken, keep)
        failures.append("%s: %s pixels differ (the new picture: %s)" % (name, differing, keep))


with tempfile.TemporaryDirectory() as data:
    game = Game(data)
    game.data_dir = data
    game.wait(3)  # the logo has popped in, the five persons stand in their row
    same_as_kept(game, "title")
    game.send(game.title_swipe)
    for _ in range(40):
        if game.visible("nextBtn"):
            break
        game.wait(0.5)
    game.wait(1)
    check(game.visible("nextBtn"), "the opening story's first page")
    same_as_kept(game, "story")
    game.finish()

with tempfile.TemporaryDirectory() as data:
    game = Game(data, state=FULL_STAGE)
    game.data_dir = data
    game.through_title()
    start = game.start_explore(walk=4)
    game.wait(20)
    check(game.visible("leftTimeLabel"), "the time left during the explore")
    same_as_kept(game, "explore")
    game.send("clock %g" % (start + 26 * INTERVAL + 5 - game.now))
    game.wait(9)
    check(len(game.persons()) >= 25, "a full stage: %d persons" % len(game.persons()))
    same_as_kept(game, "full-stage")
    game.finish()

check(not failures, "\n".join(failures))
print("written to " + KEPT if WRITE else "title, story, explore and full stage unchanged")
