#!/usr/bin/env python3
"""Takes the pictures of docs/SCREENS-SHARING.md with the game's own driver (`screenshot`), headless:
  python3 tools/screens/sharing_shots.py [build folder]
The share sheet, the post composer, the leaderboard screen, the game list with its icons (the bundled list) and the
banners of the tall screen's top panel."""
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "scripts"))
sys.argv = [sys.argv[0], os.path.join(HERE, "..", ".."), sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "build")]

from driver import QUIET, Game  # noqa: E402

IMAGES = os.path.abspath(os.path.join(HERE, "..", "..", "docs", "images"))
# Every dungeon up to the fourth open: share, rankings, the game list.
MONSTERS = [{"monster_id": m, "times": t, "viewed": True} for m, t in ((6, 1), (12, 1), (18, 1), (1, 14), (17, 3))]


def shot(game, name):
    game.send("screenshot " + os.path.join(IMAGES, name))


def player(data, extra=(), **values):
    game = Game(data, state=dict(QUIET, monsters=MONSTERS, gold=4820, totalGold=15230, totalMonster=61, **values),
                extra=("--sign-in", "on", *extra))
    game.through_title()
    return game


os.environ.pop("RE_INDEX_URL", None)

def pressed(game, *steps):
    """Each step a button to press (then a second's wait) or a picture to take."""
    for step in steps:
        if step.endswith(".png"):
            shot(game, step)
        else:
            game.press(step)
            game.wait(1.5)
    game.finish()


with tempfile.TemporaryDirectory() as data:  # two hours after the last bonus
    pressed(player(data, timestamp_post_bonus=1800000000.0 - 7200, member_1={"member_id": 1}),
            "shareBtn", "share-sheet.png", "alertBtn0", "composer.png")
with tempfile.TemporaryDirectory() as data:  # the rankings after a save point
    game = player(data)
    game.send("background")
    game.send("activate")
    pressed(game, "rankingBtn", "rankings.png")
with tempfile.TemporaryDirectory() as data:  # the game list bundled with the game
    pressed(player(data), "infoBtn", "game-list.png")
with tempfile.TemporaryDirectory() as data:  # the banners of the tall screen, in Japanese
    pressed(player(data, extra=("--screen", "568", "--lang", "ja")), "top-panel-banners.png")
