#!/usr/bin/env python3
"""The explore cycle through the script driver: the wall clock set back and forward during an
explore, resuming after the game was closed (part of the time and all of it), and suspending.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import EPOCH, TITLE_SWIPE, Game, check  # noqa: E402


def started(data, epoch=EPOCH):
    """A fresh game through the title and the story, with an explore of the first dungeon begun."""
    game = Game(data, epoch)
    game.through_title()
    game.through_story()
    check(game.visible("exploreBtn"), "the main screen waits for the first explore")
    return game, game.start_explore()


def main():
    # The wall clock moved back before the start: nobody comes back until it passes the start again.
    with tempfile.TemporaryDirectory() as data:
        game, start = started(data)
        game.send("clock -600")
        game.send("wait 5")
        check(game.comebacks() == 0, "nobody returns while the clock stands before the start")
        check(game.state().get("timestamp_start") == start, "the explore keeps its start")
        # Forward again, far past the end: everyone due comes back at the next poll.
        game.send("clock 1200")
        game.send("wait 3")
        state = game.state()
        check("timestamp_start" not in state, "the explore has finished: %r" % state.get("numComeback"))
        game.finish()

    # Closed during an explore (the run ends as if killed; the start was saved when it began).
    for later, expect_all in ((2, False), (600, True)):
        with tempfile.TemporaryDirectory() as data:
            game, start = started(data)
            game.finish()
            again = Game(data, int(start + later))
            # The title comes first on every start; the main screen resumes when it closes.
            again.send("wait 2")
            check(again.state().get("numComeback", 0) == 0, "nothing resumes while the title is open")
            again.send(TITLE_SWIPE)
            again.send("wait 6")
            state = again.state()
            if expect_all:
                check("timestamp_start" not in state, "after the whole time everyone is back at once")
            else:
                back = state.get("numComeback", 0)
                check(state.get("timestamp_start") == start, "the explore goes on after a restart")
                check(6 <= back <= 16, "the persons due came back, not all: %d" % back)
            again.finish()

    # Suspending: the suspend button asks, OK brings the party home and ends the explore.
    with tempfile.TemporaryDirectory() as data:
        game, _ = started(data)
        game.send("wait 2")
        check(game.visible("suspendBtn"), "the suspend button shows during an explore")
        game.send("press suspendBtn")
        game.send("wait 1")
        check(game.visible("okBtn"), "suspending asks first")
        game.send("press okBtn")
        game.send("wait 5")
        check("timestamp_start" not in game.state(), "a suspended explore has ended")
        game.finish()
    print("explore cycle: ok")
    print("4 passed, 0 failed")


if __name__ == "__main__":
    main()
