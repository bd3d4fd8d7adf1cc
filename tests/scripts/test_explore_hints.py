#!/usr/bin/env python3
"""The one-time hints: swipe after the last return and second-explore after the first collection (none when the forest
is open already), no wait hint at a second a person; the swipe hint still owed when the game closed in the second
before it, its box blinking "touch to continue" and leaving the persons beside it to the player; in the forest the wait hint once and the report button hidden
until the first coffin comes home."""
import tempfile

from driver import Game, check, english, on_main_screen


def explore_and_collect(game, first):
    """One explore of the first dungeon; the swipe hint shows a second after everyone is back, on the first explore
    only. Returns the message left after the collection."""
    start, hint_at = game.start_explore(), None
    while game.now < start + 30:
        game.wait(0.5)
        text = game.message()
        check(text in (None, english("SwipeTutorial")), "no other message while exploring: %r" % text)
        if text and hint_at is None:
            hint_at, state = game.now, game.state()
            check(("timestamp_start" in state, state.get("numComeback"), state.get("swipeTutorialShown")) == (False, 20, True),
                  "the hint waits for the last return and is remembered: %r" % state)
    check((hint_at is not None) == first, "the swipe hint shows on the first explore only: %r" % hint_at)
    check(not first or start + 21 <= hint_at <= start + 26, "a second after the last return ends: %r" % hint_at)
    game.collect_all()
    return game.message()


# The first dungeon: the story seen, every hint still to come.
with tempfile.TemporaryDirectory() as data:
    game = Game(data, state={"tutorialShown": True, "firstMainDone": True})
    game.through_title()
    check(explore_and_collect(game, True) == english("Explore2Tutorial"), "the second-explore hint follows the first collection")
    state = game.state()
    check((state.get("firstCheck"), state.get("exploreTutorial2Shown"), state.get("waitTutorialShown")) == (True, True, None),
          "first check and hint flags, no wait hint at a second a person: %r" % state)
    game.dismiss_hints()
    check(explore_and_collect(game, False) is None, "no hint after the second collection")
    game.start_explore()  # a third start: the first and second explores are recorded once each
    pages = game.pages()
    check([pages.count("/" + p) for p in ("FIRST_EXPLORE_V102", "SECOND_EXPLORE_V102", "START_EXPLORE_1", "FIRST_CHECK_V102")]
          == [1, 1, 3, 1], "pages: %r" % pages)
    game.finish()

# With the meadow's boss hunted the forest is open already: no second-explore hint.
with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data, exploreTutorial2Shown=None, monsters=[{"monster_id": 6, "times": 1, "viewed": True}])
    game.start_explore(walk=3.5)
    game.suspend()
    game.collect_all()
    state = game.state()
    check(state.get("firstCheck") is True and "exploreTutorial2Shown" not in state and game.message() is None, "no hint: %r" % state)
    game.finish()

# The forest, well trodden (every monster may come, most too strong), with an old battle log.
with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data, current_dungeon_id=2, battleLogs=[{"monster_id": 1}], dungeon_2={"dungeon_id": 2, "explore_cnt": 200},
                          waitTutorialShown=None)
    check(game.visible("reportBtn"), "an old log shows the report button")
    start = game.start_explore(walk=0)
    check(not game.visible("reportBtn") and "battleLogs" not in game.state(), "the start clears the log")
    hints, first_log = 0, None
    while game.now < start + 60:
        game.wait(1)
        state = game.state()
        logs = len(state.get("battleLogs", []))
        first_log = first_log or (game.now if logs else None)
        # The button follows the log when the return walk ends, a few seconds after the battle.
        shown = bool(game.visible("reportBtn"))
        check(shown if first_log and game.now > first_log + 3 else not shown or logs, "report button %s, %d logged" % (shown, logs))
        if game.message() is not None:
            check(game.message() == english("AppClose") and state.get("waitTutorialShown") is True, "the wait hint: %r" % game.message())
            check(game.now - start >= 2 and state.get("numComeback", 0) < 10, "while fewer than half are back")
            hints += 1
            game.dismiss_hints()
    check(hints == 1 and first_log is not None, "the wait hint shows once (%d); coffins come home without equipment" % hints)
    game.suspend()
    game.collect_all()
    game.dismiss_hints()
    game.start_explore()  # a second explore: no wait hint again
    game.wait(20)
    check(game.message() is None, "no wait hint on the second explore: %r" % game.message())
    game.finish()

# Closed in the second between the last return and the swipe hint: the next start shows the hint.
with tempfile.TemporaryDirectory() as data:
    game = Game(data, state={"tutorialShown": True, "firstMainDone": True})
    game.through_title()
    start = game.start_explore()
    while game.now < start + 30 and ("timestamp_start" in game.state() or game.visible("suspendBtn")):
        game.wait(0.25)
    check(game.message() is None and game.now < start + 30, "everyone home, the hint still to come")
    game.proc.stdin.write("terminate\n")  # closed: saves, nothing after it is read
    game.finish()
    again = Game(data, epoch=int(game.now) + 5)
    again.through_title()
    again.wait(2)
    check(again.message() == english("SwipeTutorial"), "the hint comes at the next start: %r" % again.message())
    # The hint box says how it goes, blinking, and leaves the persons beside it to the player.
    marks = []
    for _ in range(2):
        marks.append(again.text_of("touchMarkLabel"))
        again.wait(0.5)
    check(set(marks) == {english("TouchToContinue"), None}, "a blinking mark: %r" % marks)
    box = again.visible("containerView")[0]["frame"]
    person = next(p for p in again.persons() if p["frame"][1] + p["frame"][3] / 2 < box[1])
    key = "person_" + person["name"][len("person"):]
    check(again.state()[key].get("yieldType", 0) > 0, "the person holds a yield")
    again.touch(person)
    again.wait(4)
    check(again.state()[key].get("yieldType", 0) == 0 and again.message() == english("SwipeTutorial"), "collected beside the hint")
    again.finish()
