#!/usr/bin/env python3
"""The explore cycle through the script driver: the wall clock set back and forward during an
explore, resuming after the game was closed (part of the time and all of it), and suspending.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import QUIET, Game, check  # noqa: E402


def started(data, dungeon):
    """The main screen of a player past every hint, with an explore begun and the party gone."""
    game = Game(data, state=dict(QUIET, current_dungeon_id=dungeon))
    game.through_title()
    return game, game.start_explore(walk=3.5)


def wait_until(game, instant):
    game.wait(max(instant - game.now, 0))


def main():
    # The forest, 6 s a person. The clock set back before the start returns nobody until it
    # passes the start again; set forward, everyone due comes back at the next poll.
    with tempfile.TemporaryDirectory() as data:
        game, start = started(data, 2)
        wait_until(game, start + 13)
        check(game.comebacks() == 2, "two back after 13 s: %d" % game.comebacks())
        game.send("clock -100")
        game.wait(1)
        check(game.comebacks() == 2 and game.state().get("timestamp_start") == start, "nobody returns before the start")
        game.send("clock 100")
        game.wait(1)
        check(game.comebacks() == 2, "the third is not due yet")
        wait_until(game, start + 19.01)
        check(game.comebacks() == 3, "the third at 18 s: %d" % game.comebacks())
        game.send("clock %g" % (start + 70.5 - game.now))
        game.wait(1)
        check(game.comebacks() == 11, "eleven due at 71 s: %d" % game.comebacks())
        game.send("clock 1200")
        game.wait(3)
        state = game.state()
        check("timestamp_start" not in state and state.get("numComeback") == 20, "the explore has finished")
        game.finish()

    # Closed during an explore of the caves (30 s a person): sent to the background, then ended
    # as if killed; started again after part of the time and after all of it. Killed without
    # going to the background first, the explore's start alone must still be on the disk whole.
    for later, back, closing in ((305, 10, "background"), (10000, 20, "background"), (305, 10, None)):
        with tempfile.TemporaryDirectory() as data:
            game, start = started(data, 4)
            if closing:
                game.send(closing)
            game.finish()
            again = Game(data, int(start + later))
            # The title comes first on every start; the main screen resumes when it closes.
            again.wait(2)
            check(again.comebacks() == 0, "nothing resumes while the title is open")
            again.through_title()
            state = again.state()
            check(state.get("numComeback") == back, "%d back after %d s: %r" % (back, later, state.get("numComeback")))
            check(len(again.persons()) == back and not again.visible("exploreBtn"), "they stand on the stage: %r" % [(p["name"], p["alpha"], p["frame"]) for p in again.persons()])
            if back < 20:
                check(state.get("timestamp_start") == start and again.visible("suspendBtn"), "the explore goes on")
                check(len(again.notifications()) == 21, "the badges still stand for those to come")
            else:
                check("timestamp_start" not in state and again.notifications() == [], "everyone back at once, nothing left")
            again.finish()

    # Suspending before anyone is back: it asks, OK brings the party home empty-handed and the
    # explore button returns at once.
    with tempfile.TemporaryDirectory() as data:
        game, _ = started(data, 2)
        check(game.visible("suspendBtn"), "the suspend button shows during an explore")
        game.press("suspendBtn")
        game.wait(1)
        check(game.visible("okBtn"), "suspending asks first")
        game.press("okBtn")
        game.wait(4)
        check("timestamp_start" not in game.state() and game.notifications() == [], "a suspended explore has ended")
        check(game.visible("exploreBtn") and len(game.persons()) == 20, "everyone home, nothing to collect")
        check("/FINISH_CHECK_2" in game.pages(), "the end of the collection is recorded")
        game.finish()
    print("explore cycle: ok")


if __name__ == "__main__":
    main()
