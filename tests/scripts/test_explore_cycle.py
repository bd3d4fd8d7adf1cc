#!/usr/bin/env python3
"""The explore cycle through the script driver: the wall clock set back and forward during an
explore, resuming after the game was closed (part of the time and all of it), and suspending.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_first_explore import Game, check  # noqa: E402

EPOCH = 1800000000


def dismiss_hints(game):
    """Message boxes that a touch closes (hints) are closed as a player would."""
    for _ in range(3):
        if not game.visible("hiddenBtn"):
            return
        game.send("press hiddenBtn")
        game.send("wait 1")


def through_title_and_story(game):
    game.send("wait 2")
    game.send("swipe 40 323 290 323 25")
    game.send("wait 6")
    for _ in range(40):
        if game.visible("closeBtn"):
            game.send("press closeBtn")
            break
        if game.visible("nextBtn"):
            game.send("press nextBtn")
        game.send("wait 1")
    game.send("wait 3")
    check(game.visible("exploreBtn"), "the main screen waits for the first explore")


def start_explore(game):
    dismiss_hints(game)
    game.send("press exploreBtn")
    game.send("wait 1")
    check(game.visible("okBtn"), "the start message box asks")
    game.send("press okBtn")
    game.send("wait 1.5")  # the party walks off
    start = game.state().get("timestamp_start", 0)
    check(start > 0, "the start time is stored")
    return start


def comebacks(game):
    return game.state().get("numComeback", 0)


def main():
    build = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), "..", "..", "build")
    binary = os.path.join(build, "royal-expedition")
    check(os.path.exists(binary), "no game binary at " + binary)

    # The wall clock moved back before the start: nobody comes back until it passes the start again.
    with tempfile.TemporaryDirectory() as data:
        game = Game(binary, data, EPOCH)
        through_title_and_story(game)
        start = start_explore(game)
        game.send("clock -600")
        game.send("wait 5")
        check(comebacks(game) == 0, "nobody returns while the clock stands before the start")
        check(game.state().get("timestamp_start") == start, "the explore keeps its start")
        # Forward again, far past the end: everyone due comes back at the next poll.
        game.send("clock 1200")
        game.send("wait 3")
        state = game.state()
        check("timestamp_start" not in state, "the explore has finished: %r" % state.get("numComeback"))
        code, err = game.finish()
        check(code == 0, "clean exit: %d %s" % (code, err))

    # Closed during an explore (the run ends as if killed; the start was saved when it began).
    for later, expect_all in ((2, False), (600, True)):
        with tempfile.TemporaryDirectory() as data:
            game = Game(binary, data, EPOCH)
            through_title_and_story(game)
            start = start_explore(game)
            code, _ = game.finish()
            check(code == 0, "first run ends")
            again = Game(binary, data, int(start + later))
            # The title comes first on every start; the main screen resumes when it closes.
            again.send("wait 2")
            check(again.state().get("numComeback", 0) == 0, "nothing resumes while the title is open")
            again.send("swipe 40 323 290 323 25")
            again.send("wait 6")
            state = again.state()
            if expect_all:
                check("timestamp_start" not in state, "after the whole time everyone is back at once")
            else:
                back = state.get("numComeback", 0)
                check(state.get("timestamp_start") == start, "the explore goes on after a restart")
                check(6 <= back <= 16, "the persons due came back, not all: %d" % back)
            code, err = again.finish()
            check(code == 0, "second run: %d %s" % (code, err))

    # Suspending: the suspend button asks, OK brings the party home and ends the explore.
    with tempfile.TemporaryDirectory() as data:
        game = Game(binary, data, EPOCH)
        through_title_and_story(game)
        start_explore(game)
        game.send("wait 2")
        check(game.visible("suspendBtn"), "the suspend button shows during an explore")
        game.send("press suspendBtn")
        game.send("wait 1")
        check(game.visible("okBtn"), "suspending asks first")
        game.send("press okBtn")
        game.send("wait 5")
        check("timestamp_start" not in game.state(), "a suspended explore has ended")
        code, err = game.finish()
        check(code == 0, "clean exit: %d %s" % (code, err))
    print("explore cycle: ok")
    print("4 passed, 0 failed")


if __name__ == "__main__":
    main()
