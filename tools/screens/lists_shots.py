#!/usr/bin/env python3
"""Takes the pictures of docs/SCREENS-LISTS.md with the game itself (headless, script driver).

    python3 tools/screens/lists_shots.py [SOURCE] [BUILD]
"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "scripts"))
from driver import QUIET, Game, folders  # noqa: E402

IMAGES = os.path.join(folders()[0], "docs", "images")


def hunted(*ids, unseen=()):
    return [{"monster_id": i, "times": 1 + i % 4, "viewed": i not in unseen} for i in ids]


def shot(game, name):
    game.send("screenshot " + os.path.join(IMAGES, name))


with tempfile.TemporaryDirectory() as data:
    # Dungeon 1 with three stars, dungeon 2 with two (its boss and five own monsters), dungeon 3 new.
    monsters = hunted(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, unseen=(9, 14))
    logs = [{"id": 3, "monsterId": 12, "isWin": False}, {"id": 5, "monsterId": 7, "isWin": True},
            {"id": 8, "monsterId": 11, "isWin": False}, {"id": 12, "monsterId": 10, "isWin": False}]
    game = Game(data, state=dict(QUIET, mapUnlocked=True, collectionUnlocked=True, current_dungeon_id=2, monsters=monsters,
                                 battleLogs=logs, equip_1={"equip_id": 1}, dungeon_2={"dungeon_id": 2, "explore_cnt": 40}))
    game.through_title()
    game.press("menuBtn2")
    game.wait(1.5)
    shot(game, "map-list.png")
    game.press("closeBtn")
    game.wait(1.5)
    game.press("menuBtn3")
    game.wait(1.5)
    shot(game, "collection.png")
    game.press("collectionCells.2.cellBtn")
    game.wait(1)
    shot(game, "collection-detail.png")
    game.press("closeBtn")
    game.wait(1)
    game.press("closeBtn")
    game.wait(1.5)
    game.press("reportBtn")
    game.wait(1)
    shot(game, "battle-report.png")
    game.press("closeBtn")
    game.wait(1)
    game.press("settingBtn")
    game.wait(1)
    shot(game, "settings.png")
    game.press("nextBtn")
    game.send("touch 200 186")
    shot(game, "settings-2.png")
    game.finish()
print("pictures in", IMAGES)
