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

# The share sheet two hours after the last bonus, then the composer.
with tempfile.TemporaryDirectory() as data:
    game = player(data, timestamp_post_bonus=1800000000.0 - 7200, member_1={"member_id": 1})
    game.press("shareBtn")
    game.wait(1)
    shot(game, "share-sheet.png")
    game.press("alertBtn0")
    game.wait(2)
    shot(game, "composer.png")
    game.finish()

# The rankings after two reports a minute apart.
with tempfile.TemporaryDirectory() as data:
    game = player(data)
    game.send("background")
    game.send("activate")
    game.wait(61)
    game.send("background")
    game.send("activate")
    game.wait(1)
    game.press("rankingBtn")
    game.wait(1)
    shot(game, "rankings.png")
    game.finish()

# The game list, bundled with the game, and the banners of the tall screen.
with tempfile.TemporaryDirectory() as data:
    game = player(data)
    game.press("infoBtn")
    game.wait(2)
    shot(game, "game-list.png")
    game.finish()
with tempfile.TemporaryDirectory() as data:
    game = player(data, extra=("--screen", "568", "--lang", "ja"))
    game.wait(1)
    shot(game, "top-panel-banners.png")
    game.finish()
