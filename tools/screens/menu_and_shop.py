#!/usr/bin/env python3
"""Takes the pictures of docs/SCREENS.md with the game's own driver (`screenshot`), headless:
  python3 tools/screens/menu_and_shop.py [build folder]
The menu with every button, the shop, a gold purchase, a store purchase in Japanese with its price, the store's sheet
and the last page of the story after the first boss."""
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "scripts"))
sys.argv = [sys.argv[0], os.path.join(HERE, "..", ".."), sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "build")]

from driver import QUIET, Game  # noqa: E402
from test_menu import carrying, hunted, opened  # noqa: E402

IMAGES = os.path.abspath(os.path.join(HERE, "..", "..", "docs", "images"))


def shot(game, name):
    game.send("screenshot " + os.path.join(IMAGES, name))


def player(data, lang="en", **values):
    state = dict(QUIET, shopUnlocked=True, mapUnlocked=True, collectionUnlocked=True, **values)
    game = Game(data, state=state, extra=("--lang", lang))
    game.through_title()
    return game


# The menu: every dungeon open, a new monster just counted (the mark) and the map's balloon after the third boss.
with tempfile.TemporaryDirectory() as data:
    game = player(data, monsters=opened(3) + hunted(*(b for b in (24, 30, 36, 42, 48))), current_dungeon_id=3,
                  person_1=carrying(3, 18, 3), gold=48210)
    game.touch(game.visible("person1")[0])
    game.wait(4)
    for _ in range(2):
        game.press("nextBtn")
        game.wait(1)
    shot(game, "clear-scene.png")
    game.press("closeBtn")
    game.wait(2)
    shot(game, "menu.png")
    game.finish()

# The shop, and a gold purchase's panel and its success.
with tempfile.TemporaryDirectory() as data:
    game = player(data, monsters=opened(3) + hunted(1, times=20), gold=2400)
    game.press("menuBtn1")
    game.wait(2)
    shot(game, "shop.png")
    game.send("select myTableView 1")
    game.wait(1)
    shot(game, "buy-gold.png")
    game.finish()

# A store item in Japanese: the price in yen, then the store's own sheet.
with tempfile.TemporaryDirectory() as data:
    game = player(data, lang="ja", monsters=opened(2), gold=100)
    game.press("menuBtn1")
    game.wait(2)
    game.send("select myTableView 4")
    game.wait(1)
    shot(game, "buy-store.png")
    game.press("okBtn")
    game.wait(1)
    shot(game, "store-sheet.png")
    game.finish()
