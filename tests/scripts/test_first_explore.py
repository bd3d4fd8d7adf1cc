#!/usr/bin/env python3
"""A fresh start played through the script driver, step by step over `--script -`: the title, the
opening story, the first explore of the first dungeon and its collection; then
the saved state is checked, and a second run on the same data directory finds it again after
`terminate`.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import EPOCH, Game, check  # noqa: E402


def main():
    with tempfile.TemporaryDirectory() as data:
        game = Game(data)
        game.through_title()
        check(game.state().get("tutorialShown") is True, "the opening story was started")
        check(game.through_story() == 3, "three pages to turn")
        check(game.visible("exploreBtn"), "the explore button is back")
        # The first explore: press, OK, every person walks off and back.
        game.start_explore(walk=2)
        check(game.notifications(), "notifications are scheduled at the start")
        game.wait(40)
        check("timestamp_start" not in game.state(), "all are back")
        # Every holder touched at its centre; the first collection explains itself in a message box.
        game.collect_all()
        state = game.state()
        check(state.get("gold", 0) > 0, "gold was earned: %r" % state.get("gold"))
        monsters = state.get("monsters")
        check(isinstance(monsters, (dict, list)) and len(monsters) > 0, "monster records: %r" % monsters)
        check(state.get("dungeon_1") == {"dungeon_id": 1, "explore_cnt": 20}, "twenty explores: %r" % state.get("dungeon_1"))
        check("timestamp_start" not in state, "no start time after the explore")
        gold = state["gold"]
        game.send("background")
        reminders = [n for n in game.notifications() if n.get("userInfo")]
        check(len(reminders) == 1 and abs(reminders[0]["fireDate"] - (EPOCH + 259200)) < 600, "the three-day reminder")
        game.send("activate")
        check(not [n for n in game.notifications() if n.get("userInfo")], "activation cancels it")
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
