#!/usr/bin/env python3
"""A fresh start played through the script driver, step by step over `--script -`: the title's
five persons, the opening story, the first explore of the first dungeon and its collection; then
the saved state is checked, and a second run on the same data directory finds it again after
`terminate`.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import EPOCH, TITLE_SWIPE, Game, centre, check  # noqa: E402


def main():
    with tempfile.TemporaryDirectory() as data:
        game = Game(data)
        # The logo pops in, then the five persons stand in a row.
        game.send("wait 2")
        views = game.views()
        names = [v["name"] for v in views]
        check("titleRoot" in names, "the title is on screen")
        # Front to back: what comes before the title's root is on the title.
        persons = [v for v in views[:names.index("titleRoot")] if v["class"] == "PersonView"]
        check(len(persons) == 5, "the title shows five persons: %r" % persons)
        pages = game.json_of("pages", "PAGES")
        check("/FIRST_TITLE" in pages and pages.index("/FIRST_TITLE") + 1 == pages.index("/TITLE"), "title page views: %r" % pages)
        # One swipe over all five starts every collect; the title closes after the last.
        game.send(TITLE_SWIPE)
        game.send("wait 6")
        check(not [v for v in game.views() if v["name"] == "titleRoot"], "the title has gone")
        state = game.state()
        check(state.get("tutorialShown") is True, "the opening story was started")
        # The opening story: next until it can be closed.
        for _ in range(40):
            if game.visible("closeBtn"):
                game.send("press closeBtn")
                break
            if game.visible("nextBtn"):
                game.send("press nextBtn")
            game.send("wait 1")
        else:
            raise AssertionError("the story never offered its close button")
        game.send("wait 3")
        check(game.visible("exploreBtn"), "the explore button is back")
        # The first explore: press, OK, every person walks off and back.
        game.send("press exploreBtn")
        game.send("wait 1")
        check(game.visible("okBtn"), "the start message box asks")
        game.send("press okBtn")
        game.send("wait 2")
        check(game.state().get("timestamp_start", 0) > 0, "the start time is stored")
        notes = game.json_of("notifications", "NOTIFICATIONS")
        check(notes, "notifications are scheduled at the start")
        game.send("wait 40")
        check("timestamp_start" not in game.state(), "all are back")
        # Collect every person that holds something, touching each at its centre.
        for _ in range(6):
            # The first collection explains itself in a message box that a touch closes.
            if game.visible("hiddenBtn"):
                game.send("press hiddenBtn")
                game.send("wait 1")
            for person in [v for v in game.views() if v["name"].startswith("person")]:
                game.send("touch %.1f %.1f" % centre(person))
            game.send("wait 4")
            if game.visible("exploreBtn"):
                break
        check(game.visible("exploreBtn"), "the explore button returns after the last collection")
        state = game.state()
        check(state.get("gold", 0) > 0, "gold was earned: %r" % state.get("gold"))
        monsters = state.get("monsters")
        check(isinstance(monsters, (dict, list)) and len(monsters) > 0, "monster records: %r" % monsters)
        dungeon = state.get("dungeon_1")
        check(isinstance(dungeon, dict) and any(isinstance(v, int) and v >= 20 for v in dungeon.values()),
              "dungeon 1 counts the explores: %r" % dungeon)
        check("timestamp_start" not in state, "no start time after the explore")
        gold = state["gold"]
        game.send("background")
        reminders = [n for n in game.json_of("notifications", "NOTIFICATIONS") if n.get("userInfo")]
        check(len(reminders) == 1 and abs(reminders[0]["fireDate"] - (EPOCH + 259200)) < 600, "the three-day reminder")
        game.send("activate")
        check(not [n for n in game.json_of("notifications", "NOTIFICATIONS") if n.get("userInfo")], "activation cancels it")
        # terminate ends the run: nothing after it is read.
        game.proc.stdin.write("terminate\necho after\n")
        game.finish()
        check(game.proc.stdout.read() == "", "nothing runs after terminate")

        # A later cold start finds the gold.
        again = Game(data, EPOCH + 3600)
        check(again.state().get("gold") == gold, "the saved gold is read again")
        again.finish()
    print("first explore: ok")


if __name__ == "__main__":
    main()
