#!/usr/bin/env python3
"""The explore cycle: the wall clock set back and forward during an explore, resuming after the game was closed (part
of the time, all of it, killed right after the start) and suspending."""
import tempfile

from driver import Game, check, on_main_screen


def started(data, dungeon):
    game = on_main_screen(data, current_dungeon_id=dungeon)
    return game, game.start_explore(walk=3.5)


# The forest, 6 s a person. The clock set back before the start returns nobody until it passes the start again;
# set forward, everyone due comes back at the next poll.
with tempfile.TemporaryDirectory() as data:
    game, start = started(data, 2)
    for step in ("wait %g" % (start + 12 - game.now), "clock -100", "clock 100"):  # at 13 s, then the clock back and forward
        game.send(step)
        game.wait(1)
        check(game.comebacks() == 2 and game.state().get("timestamp_start") == start, "two back after %r: %d" % (step, game.comebacks()))
    game.wait(start + 19.01 - game.now)
    check(game.comebacks() == 3, "the third at 18 s: %d" % game.comebacks())
    game.send("clock %g" % (start + 70.5 - game.now))
    game.wait(1)
    check(game.comebacks() == 11, "eleven due at 71 s: %d" % game.comebacks())
    game.send("clock 1200")
    game.wait(3)
    check("timestamp_start" not in game.state() and game.comebacks() == 20, "the explore has finished")
    game.finish()

# Closed during an explore of the caves (30 s a person): sent to the background, then ended as if killed; started
# again after part of the time and after all of it. Killed right after the start without going to the background,
# the same explore goes on.
for later, back, closing in ((305, 10, "background"), (10000, 20, "background"), (305, 10, None)):
    with tempfile.TemporaryDirectory() as data:
        game, start = started(data, 4)
        if closing:
            game.send(closing)
        game.finish()
        again = Game(data, int(start + later))
        again.wait(2)
        check(again.comebacks() == 0, "nothing resumes while the title is open")
        again.through_title()
        state = again.state()
        check(state.get("numComeback") == back, "%d back after %d s: %r" % (back, later, state.get("numComeback")))
        check(len(again.persons()) == back and not again.visible("exploreBtn"), "they stand on the stage")
        going = back < 20  # the explore goes on, its badges still stand for those to come; else nothing is left
        check(state.get("timestamp_start") == (start if going else None) and bool(again.visible("suspendBtn")) == going, "going on: %r" % going)
        check(len(again.notifications()) == (21 if going else 0), "notifications: %r" % again.notifications())
        again.finish()

# Suspending before anyone is back brings the party home empty-handed and the explore button returns at once.
with tempfile.TemporaryDirectory() as data:
    game, _ = started(data, 2)
    game.suspend()
    check("timestamp_start" not in game.state() and game.notifications() == [], "a suspended explore has ended")
    check(game.visible("exploreBtn") and len(game.persons()) == 20, "everyone home, nothing to collect")
    check("/FINISH_CHECK_2" in game.pages(), "the end of the collection is recorded")
    game.finish()

# Killed while the last of the party walks home (the explore has ended): started again, that person is home with what
# it carried, not called back a second time or emptied.
def carried(state):
    return {k: (v.get("yieldType"), v.get("monsterId")) for k, v in state.items() if k.startswith("person_") and v.get("yieldType")}


with tempfile.TemporaryDirectory() as data:
    game, start = started(data, 2)
    game.wait(start + 121.5 - game.now)
    state = game.state()
    check("timestamp_start" not in state and state["person_20"].get("is_exploring"), "person 20 is on its way home")
    before = carried(state)
    game.finish()
    again = Game(data, int(start + 300))
    again.through_title()
    again.wait(5)
    state = again.state()
    check(carried(state) == before and len(before) == 20, "kept: %r" % carried(state))
    check(not any(v.get("is_exploring") for k, v in state.items() if k.startswith("person_")), "everyone is home")
    check(len(again.persons()) == 20, "all twenty on the stage")
    again.finish()
