#!/usr/bin/env python3
"""The title closes after all five persons are collected (one at a time, a person touched twice counting once); the
story's four pages with next and close; the main screen's return from the background idle and with yields to collect."""
import tempfile

from driver import Game, check, on_main_screen


def title_persons(game):
    """The persons on the title, None when the title has gone."""
    names = [v["name"] for v in game.views()]
    return [v for v in game.views()[:names.index("titleRoot")] if v["class"] == "PersonView"] if "titleRoot" in names else None


with tempfile.TemporaryDirectory() as data:
    game = Game(data)
    game.wait(2)
    persons = title_persons(game)
    check(len(persons) == 5, "five persons on the title")
    # One at a time, the first one twice at once and again after each of its collects: four members leave the title up.
    for person, pause in [(persons[0], 1)] + [(persons[0], 6)] * 4 + [(person, 6) for person in persons[1:4]]:
        game.touch(person)
        game.wait(pause)
    check(title_persons(game) is not None, "four collected: the title stays")
    game.touch(persons[4])
    check(title_persons(game) is not None, "the title waits for the last collect to finish")
    game.wait(6)
    check(title_persons(game) is None, "all five collected: the title has gone")
    pages = game.pages()
    check(pages.count("/FIRST_TITLE") == 1 and pages.count("/TITLE") == 1 and "/OPENING" in pages, "title pages: %r" % pages)
    # The opening story: next on pages 1 to 3, close only on page 4, no labels.
    for page in range(1, 5):
        names = {v["name"] for v in game.views()}
        check(("nextBtn" in names) == (page < 4) and ("closeBtn" in names) == (page == 4), "page %d: %r" % (page, names))
        check(not names & {"dungeonLabel", "weaponLabel"}, "the opening shows no labels")
        game.press("nextBtn" if page < 4 else "closeBtn")
        game.wait(1 if page < 4 else 3)
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
    game = on_main_screen(data, firstTitleDone=True, **held)
    check("/FIRST_TITLE" not in game.pages() and not game.visible("exploreBtn"), "the first title once per player; collecting")
    game.send("background")
    game.send("activate")
    game.wait(2)
    check(not game.visible("exploreBtn") and "/FINISH_CHECK_1" not in game.pages(), "still collecting after becoming active")
    for person in ("person1", "person2"):
        game.touch(game.visible(person)[0])
    game.wait(5)
    state = game.state()
    check(game.visible("exploreBtn") and "/FINISH_CHECK_1" in game.pages(), "the explore button returns after the last yield")
    check(state.get("gold", 0) > 0 and all(state.get(k, {}).get("yieldType", 0) == 0 for k in held), "collected: %r" % state.get("gold"))
    game.finish()
