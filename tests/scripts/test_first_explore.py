#!/usr/bin/env python3
"""A fresh start played from the title through the opening story to the end of the first explore's collection; the
saved state is checked and a second run finds it again after `terminate`."""
import tempfile

from driver import EPOCH, Game, check


with tempfile.TemporaryDirectory() as data:
    game = Game(data)
    game.through_title()
    check(game.state().get("tutorialShown") is True, "the opening story was started")
    check(game.through_story() == 3 and game.visible("exploreBtn"), "three pages to turn, then the explore button")
    game.start_explore(walk=2)
    check(game.notifications(), "notifications are scheduled at the start")
    game.wait(40)
    check("timestamp_start" not in game.state(), "all are back")
    game.collect_all()  # the first collection explains itself in a message box
    state = game.state()
    check(state.get("gold", 0) > 0, "gold was earned: %r" % state.get("gold"))
    check(isinstance(state.get("monsters"), (dict, list)) and len(state["monsters"]) > 0, "monster records: %r" % state.get("monsters"))
    check(state.get("dungeon_1") == {"dungeon_id": 1, "explore_cnt": 20}, "twenty explores: %r" % state.get("dungeon_1"))
    check("timestamp_start" not in state, "no start time after the explore")
    game.proc.stdin.write("terminate\necho after\n")  # terminate ends the run: nothing after it is read
    game.finish()
    check(game.proc.stdout.read() == "", "nothing runs after terminate")
    again = Game(data, EPOCH + 3600)
    check(again.state() == state, "a later cold start finds the saved state: %r" % again.state())
    again.finish()
