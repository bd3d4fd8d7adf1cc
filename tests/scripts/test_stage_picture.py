#!/usr/bin/env python3
"""The README's stage picture, taken by the game: a party of thirty well into an explore of the desert, most of it back
with monsters and coffins, the king asleep, the gold counter, the time left and the equipment strip on both screens.
With RE_WRITE_DOCS=1 the 480-point picture is written to docs/images/stage.png."""
import os
import shutil
import tempfile

from driver import QUIET, Game, check, folders

DESERT, INTERVAL = 3, 15
STATE = dict(QUIET, current_dungeon_id=DESERT, shopUnlocked=True, gold=48210, goldRate=1.25,
             monsters=[{"monster_id": m, "times": 3, "viewed": True} for m in (1, 2, 6, 7, 9, 12)],
             **{"member_%d" % m: {"member_id": m} for m in range(1, 11)},
             **{"equip_%d" % e: {"equip_id": e} for e in (1, 2, 3, 5)})

for screen in ("480", "568"):
    with tempfile.TemporaryDirectory() as data:
        game = Game(data, state=STATE, extra=("--screen", screen))
        game.through_title()
        start = game.start_explore(walk=4)
        game.send("clock %g" % (start + 26 * INTERVAL + 5 - game.now))
        game.wait(9)
        strip = game.visible("equipStatusView")
        check(strip and strip[0]["frame"] == [0, 438 + (88 if screen == "568" else 0), 320, 42], "the strip on the main screen: %r" % strip)
        check(len(game.persons()) >= 25 and game.visible("leftTimeLabel"), "a full stage during the explore: %d" % len(game.persons()))
        picture = os.path.join(data, "stage.png")
        game.send("screenshot " + picture)
        check(os.path.getsize(picture) > 10000, "a picture")
        if screen == "480" and os.environ.get("RE_WRITE_DOCS") == "1":
            shutil.copy(picture, os.path.join(folders()[0], "docs", "images", "stage.png"))
        game.finish()
