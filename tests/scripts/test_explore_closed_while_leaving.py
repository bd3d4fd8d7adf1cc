#!/usr/bin/env python3
"""Closed while the party walks off: the last explore's count of returns must not carry over. With 20 back from the
last explore, explore and OK in the forest (6 s a person, two minutes), the game closed half a second later and started
again 20 s on: only the persons due by then are back, the explore goes on, and the rest come back on time."""
import tempfile

from driver import Game, check, on_main_screen

with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data, current_dungeon_id=2, numComeback=20)
    game.ask_explore()
    game.press("okBtn")
    start = game.state()["timestamp_start"]
    game.wait(0.5)
    game.proc.stdin.write("terminate\n")
    game.finish()

    again = Game(data, int(start + 20.5))
    again.through_title()
    state, elapsed = again.state(), again.now - start
    due = int(elapsed // 6)
    check(state.get("numComeback") == due and len(again.persons()) == due,
          "%d due after %.1f s, %r back and %d on the stage" % (due, elapsed, state.get("numComeback"), len(again.persons())))
    check(state.get("timestamp_start") == start, "the explore goes on after %.1f s: %r" % (elapsed, state.get("timestamp_start")))
    again.wait(start + 60.5 - again.now)
    check(again.comebacks() == 10 and again.visible("suspendBtn"), "ten back after a minute: %d" % again.comebacks())
    again.finish()
