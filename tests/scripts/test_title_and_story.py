#!/usr/bin/env python3
"""The title, the opening story and the main screen's return from the background, through the
script driver: the title closes only after all five persons have been collected (one at a time, a
person touched twice counting once); the story's four pages with next and close; going to the
background and back in the idle state and with yields left to collect.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import QUIET, Game, centre, check  # noqa: E402

TITLE_CENTRES = [(74, 323), (117, 323), (160, 323), (203, 323), (246, 323)]


def title_persons(game):
    views = game.views()
    names = [v["name"] for v in views]
    if "titleRoot" not in names:
        return None
    return [v for v in views[:names.index("titleRoot")] if v["class"] == "PersonView"]


def main():
    with tempfile.TemporaryDirectory() as data:
        game = Game(data)
        game.wait(2)
        check(len(title_persons(game)) == 5, "five persons on the title")
        # One at a time, the first one twice: four finished collects leave the title up.
        for x, y in [TITLE_CENTRES[0]] + TITLE_CENTRES[:4]:
            game.send("touch %d %d" % (x, y))
            game.wait(1)
        game.wait(5)
        check(title_persons(game) is not None, "four collected: the title stays")
        game.send("touch %d %d" % TITLE_CENTRES[4])
        check(title_persons(game) is not None, "the title waits for the last collect to finish")
        game.wait(6)
        check(title_persons(game) is None, "all five collected: the title has gone")
        pages = game.pages()
        check(pages.count("/FIRST_TITLE") == 1 and pages.count("/TITLE") == 1, "title pages: %r" % pages)

        # The opening story: next on pages 1 to 3, close only on page 4, no labels.
        check("/OPENING" in game.pages(), "the opening story is recorded")
        for page in range(1, 5):
            names = {v["name"] for v in game.views()}
            check(("nextBtn" in names) == (page < 4) and ("closeBtn" in names) == (page == 4), "page %d: %r" % (page, names))
            check(not names & {"dungeonLabel", "weaponLabel"}, "the opening shows no labels")
            if page < 4:
                game.press("nextBtn")
                game.wait(1)
        game.press("closeBtn")
        game.wait(3)
        check(game.visible("exploreBtn") and not game.visible("storyImgView"), "the story has closed")

        # Background and back while idle: the end-of-collection steps run twice, no story again.
        before = game.pages()
        game.send("background")
        game.wait(1)
        game.send("activate")
        game.wait(2)
        added = game.pages()[len(before):]
        check(added.count("/MAIN") == 1 and added.count("/FINISH_CHECK_1") == 2, "pages on becoming active: %r" % added)
        check("/OPENING" not in added and not game.visible("nextBtn"), "the story is shown once")
        check(game.visible("exploreBtn") and "timestamp_start" not in game.state(), "idle")
        game.finish()

    # Yields left on the stage when the game was closed: persons 1 and 2 hold monsters.
    with tempfile.TemporaryDirectory() as data:
        held = {"person_%d" % p: {"person_id": p, "yieldType": 3, "monsterId": p, "dungeonId": 1} for p in (1, 2)}
        game = Game(data, state=dict(QUIET, firstTitleDone=True, **held))
        game.through_title()
        check("/FIRST_TITLE" not in game.pages(), "the first title is recorded once per player")
        check(not game.visible("exploreBtn"), "collecting: no explore button")
        game.send("background")
        game.send("activate")
        game.wait(2)
        check(not game.visible("exploreBtn"), "still collecting after becoming active")
        check("/FINISH_CHECK_1" not in game.pages(), "nothing finished yet")
        for person in ("person1", "person2"):
            game.send("touch %.1f %.1f" % centre(game.visible(person)[0]))
        game.wait(5)
        check(game.visible("exploreBtn"), "the explore button returns after the last yield")
        state = game.state()
        check(state.get("gold", 0) > 0 and "/FINISH_CHECK_1" in game.pages(), "collected: %r" % state.get("gold"))
        check(all(state.get(k, {}).get("yieldType", 0) == 0 for k in held), "nobody holds anything")
        game.finish()
    print("title and story: ok")


if __name__ == "__main__":
    main()
