#!/usr/bin/env python3
"""Keyboard play: a new game from the title to its first collection with Enter and Esc alone (the title's row, the
story's pages, the explore question, the hint box), the collection itself by touch; a key the driver does not know
is refused."""
import tempfile

from driver import Game, check, english, run

with tempfile.TemporaryDirectory() as data:
    game = Game(data)
    game.wait(2)
    game.send("key Return")  # the title: every person starts its collect
    game.wait(6)
    check(not game.visible("titleRoot"), "Enter has collected the title's row")
    for page in range(1, 5):
        check(game.visible("nextBtn" if page < 4 else "closeBtn"), "story page %d offers its button" % page)
        game.send("key Return")
        game.wait(1 if page < 4 else 3)
    check(not game.visible("storyImgView") and game.visible("exploreBtn"), "Enter has turned the pages and closed the story")
    game.send("key Return")
    game.wait(1)
    check(game.visible("okBtn"), "Enter on the main screen asks to explore")
    game.send("key Escape")
    game.wait(1)
    check(game.message() is None and "timestamp_start" not in game.state(), "Esc cancels the question")
    game.send("key Return")
    game.wait(1)
    game.send("key Return")
    game.wait(1.5)
    check(game.state().get("timestamp_start", 0) > 0, "Enter, Enter: the party is off")
    for _ in range(80):
        if game.message() == english("SwipeTutorial"):
            break
        game.wait(0.5)
    check(game.message() == english("SwipeTutorial"), "the swipe hint once everyone is back")
    game.send("key Return")
    game.wait(1)
    check(game.message() is None, "Enter dismisses a hint")
    game.collect_all()
    check(game.state().get("gold", 0) > 0, "collected by touch")
    game.finish()

    out = run(data, "key Space\necho after\n", status=2)
    check("line 1" in out["errors"] and "Return" in out["errors"] and "after" not in out, "an unknown key: %r" % out["errors"])
