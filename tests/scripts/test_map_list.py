#!/usr/bin/env python3
"""The map list from the menu: 6 rows while dungeon 7 is locked, 10 once open; no star without the boss, two with the
boss and five own monsters, three with six; a locked row's unlock hint changes nothing; with no explore a row switches
at once (row + 1); during an explore the give-up question: cancel keeps all, OK ends the explore and the main screen
shows the new stage and explore time."""
import os
import sys
import tempfile

from driver import QUIET, TITLE_SWIPE, check, english, folders, on_main_screen, run

if '"menuBtn2"' not in open(os.path.join(folders()[0], "resources", "layouts", "Main.json")).read():
    print("the menu's map button is not in this build: nothing to open the list with")
    sys.exit(0)


def hunted(*ids):
    return [{"monster_id": i, "times": 1, "viewed": True} for i in ids]


def open_list(game):
    game.press("menuBtn2")
    game.wait(1.5)
    check(game.visible("myTableView"), "the map list is open")


def stars(game, row):
    return sum(bool(game.visible("myTableView.row%d.star%d" % (row, s))) for s in (1, 2, 3))


def close(game):
    game.press("closeBtn")
    game.wait(1.5)


# Stars, locks and the count of rows.
for monsters, expected in (((1, 2, 3, 4, 5), 0), ((1, 2, 3, 4, 6), 2), ((1, 2, 3, 4, 5, 6), 3)):
    with tempfile.TemporaryDirectory() as data:
        game = on_main_screen(data, mapUnlocked=True, monsters=hunted(*monsters))
        open_list(game)
        check(stars(game, 0) == expected, "%r: %d stars" % (monsters, stars(game, 0)))
        game.finish()

with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data, mapUnlocked=True, monsters=hunted(6))
    open_list(game)
    check(game.visible("myTableView.row2.lockImgView") and not game.visible("myTableView.row1.lockImgView"), "dungeon 3 locked")
    check(game.visible("myTableView.row1.iconNew"), "the newest dungeon, never explored, is new")
    game.send("select myTableView 2")
    game.wait(0.5)
    alert = game.visible("alertView")
    check(alert and alert[0].get("message") == english("FormatMapUnlock", 12), "the unlock hint: %r" % alert)
    game.press("alertBtn0")
    game.wait(0.5)
    check(game.state().get("current_dungeon_id") in (None, 1), "a locked row changes nothing")
    # No explore: the forest at once, written as row + 1, the list closes.
    game.send("select myTableView 1")
    game.wait(1.5)
    check(game.state().get("current_dungeon_id") == 2 and not game.visible("myTableView"), "switched at once")
    game.finish()

# Six rows while dungeon 7 is locked (the driver refuses a seventh), ten once it is open.
with tempfile.TemporaryDirectory() as data:
    out = run(data, "wait 2\n%s\nwait 6\npress menuBtn2\nwait 1.5\nselect myTableView 6\n" % TITLE_SWIPE, status=2,
              state=dict(QUIET, mapUnlocked=True, monsters=hunted(6)))
    check("has 6 rows (0 to 5)" in out["errors"], out["errors"])
with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data, mapUnlocked=True, monsters=hunted(6, 12, 18, 24, 30, 36))
    open_list(game)
    game.send("select myTableView 9")  # the tenth row, scrolled into view: locked until No.54 is hunted
    game.wait(0.5)
    alert = game.visible("alertView")
    check(alert and alert[0].get("message") == english("FormatMapUnlock", 54), "the tenth row: %r" % alert)
    game.finish()

# The give-up question while the party is out in the meadow.
with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data, mapUnlocked=True, monsters=hunted(6))
    start = game.start_explore()
    open_list(game)
    game.send("select myTableView 1")
    game.wait(0.5)
    alert = game.visible("alertView")
    check(alert and alert[0].get("message") == english("FormatSuspend", "Clover Meadow"), "the give-up question: %r" % alert)
    game.press("alertBtn0")  # cancel
    game.wait(1)
    state = game.state()
    check(state.get("timestamp_start") == start and state.get("current_dungeon_id") in (None, 1) and game.visible("myTableView"),
          "cancel changes nothing: %r" % state)
    game.send("select myTableView 1")
    game.wait(0.5)
    game.press("alertBtn1")
    game.wait(4)
    state = game.state()
    check("timestamp_start" not in state and state.get("current_dungeon_id") == 2, "explore ended, forest current: %r" % state)
    check("/STAGE_2" in game.pages(), "the main screen drew the forest")
    game.collect_all()
    check(game.ask_explore() == english("FormatStartBodyMin", 2), "the forest's explore time, 20 x 6 s: %r" % game.message())
    game.finish()
print("map list ok")
