#!/usr/bin/env python3
"""The main menu: which buttons a player has, the shop's and the maps' announcements, the story after a boss, the two
endings, the full collection and the ranking button's sign-in rule; played from saved states through the driver."""
import tempfile

from driver import Game, check, english, on_main_screen

MENU = ("menuBtn1", "menuBtn2", "menuBtn3", "rankingBtn", "shareBtn", "infoBtn", "settingBtn", "chatBtn")
MONSTERS = 60


def boss(dungeon):
    return 6 * dungeon


def hunted(*ids, times=1):
    return [{"monster_id": i, "times": times, "viewed": True} for i in ids]


def opened(last):
    """The monster records of a player who has opened every dungeon up to `last` (their openers' bosses hunted)."""
    return hunted(*(boss(d) for d in range(1, last)))


def carrying(yield_type, monster=None, dungeon=1):
    """Person 1 home from an explore with a coffin (2) or a monster (3), waiting to be collected."""
    record = {"yieldType": yield_type}
    if monster:
        record.update(monsterId=monster, dungeonId=dungeon)
    return record


def shown(game):
    names = {v["name"] for v in game.views()}
    return {n for n in MENU if n in names}


def collect_person1(game, seconds=4):
    game.touch(game.visible("person1")[0])
    game.wait(seconds)


def sounds(game):
    return next(line for line in game.send("sounds") if line.startswith("SOUNDS "))


if __name__ == "__main__":
    # A fresh install: past the title and the opening story, not one menu button.
    with tempfile.TemporaryDirectory() as data:
        game = Game(data)
        game.through_title()
        game.through_story()
        check(shown(game) == set(), "fresh install: %r" % shown(game))
        game.finish()

    # The first coffin collected opens the shop: its button, the message box and the shop's balloon; the shop button
    # takes the balloon away.
    with tempfile.TemporaryDirectory() as data:
        game = on_main_screen(data, person_1=carrying(2))
        check(shown(game) == set(), "nothing before the coffin")
        collect_person1(game)
        check(shown(game) == {"menuBtn1"} and game.message() == english("FirstKanoke"), "shop: %r %r" % (shown(game), game.message()))
        check(game.text_of("balloonMsgLabel") == english("UnlockedShop"), "balloon: %r" % game.text_of("balloonMsgLabel"))
        game.press("hiddenBtn")
        game.wait(1)
        game.press("menuBtn1")
        game.wait(2)
        check(game.visible("myTableView") and not game.visible("balloonView"), "the shop opens and the balloon goes")
        check("/EQUIP_LIST" in game.pages(), "the shop's page view")
        game.finish()

    # A boss collected for the first time: the map's balloon (not after the tenth) and its story: the clear scene of
    # its dungeon (after the first, no equipment text, so none is shown), the first ending after the sixth, the second
    # after the tenth.
    for dungeon, first_page, pages, balloon, view in ((1, "manga_stage1_1@2x.png", 3, True, None),
                                                      (3, "manga_stage3_1@2x.png", 3, True, None),
                                                      (6, "manga_ed1_1@2x.png", 3, True, "/ENDING1"),
                                                      (10, "manga_ed2_1@2x.png", 2, False, "/ENDING2")):
        with tempfile.TemporaryDirectory() as data:
            game = on_main_screen(data, monsters=opened(dungeon), current_dungeon_id=dungeon,
                                  person_1=carrying(3, boss(dungeon), dungeon))
            collect_person1(game)
            check(game.visible("storyImgView")[0].get("image") == first_page, "boss %d: %r" % (dungeon, game.visible("storyImgView")))
            check(bool(game.visible("balloonView")) == balloon, "boss %d: balloon %r" % (dungeon, balloon))
            if balloon:
                check(game.text_of("balloonMsgLabel") == english("UnlockedNewMap"), "the map's balloon")
            story_pages = [p for p in game.pages() if p.startswith("/ENDING")]
            check(story_pages == ([view] if view else []), "boss %d: %r" % (dungeon, story_pages))
            check("effect levelup.mp3" in sounds(game), "boss %d: the fanfare" % dungeon)
            for _ in range(pages - 1):
                check(not game.visible("dungeonLabel"), "the texts wait for the last page")
                game.press("nextBtn")
                game.wait(1)
            if dungeon in (1, 3):
                check(game.text_of("dungeonLabel") == english("MangaNewDungeon") and
                      game.text_of("weaponLabel") == (None if dungeon == 1 else english("MangaNewWeapons")), "the clear scene's texts")
            check(game.visible("closeBtn") and "menuBtn2" in shown(game), "boss %d: the last page, the map button" % dungeon)
            game.finish()

    # The last monster missing from the collection, once dungeon 7 is open: the new mark, the fanfare and the scene of
    # the full collection (one page). With dungeon 7 closed (its opener missing) only the new mark, however many are
    # counted.
    for seventh_open in (True, False):
        with tempfile.TemporaryDirectory() as data:
            missing = {59} if seventh_open else {59, boss(6)}
            game = on_main_screen(data, monsters=hunted(*(i for i in range(1, MONSTERS + 1) if i not in missing)),
                                  collectionUnlocked=True, current_dungeon_id=10, person_1=carrying(3, 59, 10))
            sounds(game)
            collect_person1(game)
            check(game.visible("blandnewIcon"), "the new mark")
            played = sounds(game)
            if seventh_open:
                check(game.visible("storyImgView")[0].get("image") == "manga_comp1@2x.png" and game.visible("closeBtn")
                      and not game.visible("nextBtn"), "the full collection's one page")
                check("/COMP" in game.pages() and "effect levelup.mp3" in played, "its page view and fanfare")
                game.press("closeBtn")
                game.wait(2)
            else:
                check(not game.visible("storyImgView") and "levelup" not in played, "no scene before dungeon 7: %s" % played)
            game.press("menuBtn3")
            game.wait(1)
            check(not game.visible("blandnewIcon"), "the collection button takes the mark away")
            game.finish()

    # The small buttons: share and settings with dungeon 2, rankings with dungeon 3 and a signed-in player, the game
    # list and the chat with dungeon 4. The chat opens group 2 for an English player.
    for last, sign_in, expected in ((2, "on", {"shareBtn", "settingBtn"}), (3, "off", {"shareBtn", "settingBtn"}),
                                    (3, "on", {"shareBtn", "settingBtn", "rankingBtn"}),
                                    (4, "on", {"shareBtn", "settingBtn", "rankingBtn", "infoBtn", "chatBtn"})):
        with tempfile.TemporaryDirectory() as data:
            game = Game(data, state={"tutorialShown": True, "firstMainDone": True, "waitTutorialShown": True,
                                     "swipeTutorialShown": True, "exploreTutorial2Shown": True, "monsters": opened(last)},
                        extra=("--sign-in", sign_in))
            game.through_title()
            small = shown(game) - {"menuBtn1", "menuBtn2", "menuBtn3"}
            check(small == expected, "dungeon %d, sign-in %s: %r" % (last, sign_in, small))
            if "chatBtn" in expected:
                game.press("chatBtn")
                game.wait(1)
                check("/CHAT" in game.pages(), "the chat's page view")
            game.finish()
