#!/usr/bin/env python3
"""The one-time hints and the report button through the script driver: the swipe hint after the
last return and the second-explore hint after the first full collection (each once, the first
explore's and second explore's pages once each; none while the forest is open), no wait hint at a second a person; in the forest
(6 s a person) the wait hint once, and the report button hidden from the start until the first
coffin comes home.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import QUIET, Game, check, english  # noqa: E402


def explore_and_collect(game, first):
    """One explore of the first dungeon; the swipe hint shows only after everyone is back, and only
    on the first explore. Returns the message left after the collection."""
    start = game.start_explore()
    hint_at = None
    while game.now < start + 30:
        game.wait(0.5)
        text = game.message()
        check(text in (None, english("SwipeTutorial")), "no other message while exploring: %r" % text)
        if text and hint_at is None:
            hint_at = game.now
            state = game.state()
            check("timestamp_start" not in state and state.get("numComeback") == 20, "the hint waits for the last return")
            check(state.get("swipeTutorialShown") is True, "the swipe hint is remembered")
    check((hint_at is not None) == first, "the swipe hint shows on the first explore only: %r" % hint_at)
    if first:
        check(start + 21 <= hint_at <= start + 26, "a second after the last return ends: %.1f" % (hint_at - start))
    game.collect_all()
    return game.message()


def main():
    # The first dungeon: the story seen, every hint still to come.
    with tempfile.TemporaryDirectory() as data:
        game = Game(data, state={"tutorialShown": True, "firstMainDone": True})
        game.through_title()
        after = explore_and_collect(game, True)
        check(after == english("Explore2Tutorial"), "the second-explore hint follows the first collection: %r" % after)
        state = game.state()
        check(state.get("firstCheck") is True and state.get("exploreTutorial2Shown") is True, "first check and hint flags")
        check(state.get("waitTutorialShown") is None, "no wait hint at a second a person")
        game.dismiss_hints()
        after = explore_and_collect(game, False)
        check(after is None, "no hint after the second collection: %r" % after)
        # A third start: the first and second explores are recorded once each.
        game.start_explore()
        pages = game.pages()
        check([pages.count("/" + p) for p in ("FIRST_EXPLORE_V102", "SECOND_EXPLORE_V102", "START_EXPLORE_1", "FIRST_CHECK_V102")]
              == [1, 1, 3, 1], "pages: %r" % pages)
        game.finish()

    # With the meadow's boss hunted the forest is open already: no second-explore hint.
    with tempfile.TemporaryDirectory() as data:
        game = Game(data, state={"tutorialShown": True, "firstMainDone": True, "swipeTutorialShown": True,
                                 "monsters": [{"monster_id": 6, "times": 1, "viewed": True}]})
        game.through_title()
        game.start_explore(walk=3.5)
        game.press("suspendBtn")
        game.wait(1)
        game.press("okBtn")
        game.wait(4)
        game.collect_all()
        state = game.state()
        check(state.get("firstCheck") is True and "exploreTutorial2Shown" not in state, "first check, no hint flag")
        check(game.message() is None, "no hint: %r" % game.message())
        game.finish()

    # The forest, well trodden (every monster may come, most too strong), with an old battle log.
    with tempfile.TemporaryDirectory() as data:
        state = dict(QUIET, current_dungeon_id=2, battleLogs=[{"monster_id": 1}], dungeon_2={"dungeon_id": 2, "explore_cnt": 200})
        del state["waitTutorialShown"]
        game = Game(data, state=state)
        game.through_title()
        check(game.visible("reportBtn"), "an old log shows the report button")
        start = game.start_explore(walk=0)
        check(not game.visible("reportBtn") and "battleLogs" not in game.state(), "the start clears the log")
        hints, first_log = 0, None
        while game.now < start + 60:
            game.wait(1)
            state = game.state()
            logs = len(state.get("battleLogs", []))
            if logs and first_log is None:
                first_log = game.now
            # The button follows the log when the return walk ends, a few seconds after the battle.
            shown = bool(game.visible("reportBtn"))
            check(shown if first_log and game.now > first_log + 3 else not shown or logs, "report button %s, %d logged" % (shown, logs))
            if game.message() is not None:
                check(game.message() == english("AppClose"), "the wait hint: %r" % game.message())
                check(game.now - start >= 2 and state.get("numComeback", 0) < 10, "while fewer than half are back")
                check(state.get("waitTutorialShown") is True, "the wait hint is remembered")
                hints += 1
                game.dismiss_hints()
        check(hints == 1, "the wait hint shows once: %d" % hints)
        check(first_log is not None, "without equipment the forest sends coffins home")
        game.press("suspendBtn")
        game.wait(1)
        game.press("okBtn")
        game.wait(4)
        game.collect_all()
        game.dismiss_hints()
        # A second explore: no wait hint again.
        game.start_explore()
        game.wait(20)
        check(game.message() is None, "no wait hint on the second explore: %r" % game.message())
        game.finish()
    print("explore hints: ok")


if __name__ == "__main__":
    main()
