#!/usr/bin/env python3
"""Sharing for a bonus through the driver: the share sheet's title by the bonus state, the composer filled with a post
text and the link, the post handed to the browser, and the bonus decided when the post finishes."""
import tempfile
import urllib.parse

from driver import EPOCH, QUIET, Game, check, english

WAIT = 10800
POSTS = {english("Post1"), english("Post2"), english("Post3")}


def playing(data, since_bonus=None, added=0):
    """On the main screen (dungeon 2 open) with `added` bonus members, `since_bonus` seconds after the last bonus."""
    state = dict(QUIET, monsters=[{"monster_id": 6, "times": 1}], **{"member_%d" % k: {"member_id": k} for k in range(1, added + 1)})
    if since_bonus is not None:
        state["timestamp_post_bonus"] = float(EPOCH)
    game = Game(data, state=state)
    game.through_title()
    if since_bonus is not None:
        game.send("clock %r" % (EPOCH + since_bonus - game.now))
    return game


def share(game, expected_title, finish="composePostBtn"):
    """The sheet with its title, ToTwitter, the composer with a post text, then Post (or Cancel); the alert after it."""
    game.press("shareBtn")
    game.wait(1)
    title = game.visible("alertView")[0].get("title")
    check(title == expected_title, "sheet title %r, not %r" % (title, expected_title))
    game.press("alertBtn0")
    game.wait(1.5)
    check(game.text_of("composeText") in POSTS, "the composer holds a post text")
    game.press(finish)
    game.wait(1)
    return [v.get("message") for v in game.visible("alertView")]


def earned(game):
    state = game.state()
    return sorted(k for k in state if k.startswith("member_")), state.get("timestamp_post_bonus")


if __name__ == "__main__":
    # 10799 s after a bonus: one second left; Cancel closes the sheet. A post finished before 10800 s is thanked and
    # earns nothing; the page handed to the browser holds the text and the link.
    with tempfile.TemporaryDirectory() as data:
        game = playing(data, since_bonus=WAIT - 1)
        game.press("shareBtn")
        game.wait(1)
        check(game.visible("alertView")[0]["title"] == english("PostBonusLeft", "00:00:01"), "the time left")
        game.press("alertBtn1")
        game.wait(1)
        check(not game.visible("alertView") and "/SHARE" in game.pages(), "cancelled, the page view recorded")
        game.send("clock %r" % (EPOCH + WAIT - 4 - game.now))
        check(share(game, english("PostBonusLeft", "00:00:04")) == [english("PostSucceed")], "thanked")
        check(game.now - EPOCH < WAIT and earned(game) == ([], EPOCH), "nothing earned before the three hours")
        opened = game.json_of("opened", "OPENED")
        query = urllib.parse.parse_qs(urllib.parse.urlparse(opened[0]).query)
        check(len(opened) == 1 and query["text"][0] in POSTS and query["url"] == [english("AppUrl")], "the page: %r" % opened)
        game.finish()

    # The post finishing at 10800 s earns a member: on the stage, with "levelup.mp3" and "MemberAdded".
    with tempfile.TemporaryDirectory() as data:
        game = playing(data, since_bonus=WAIT - 2)
        game.send("sounds")
        check(share(game, english("PostBonusLeft", "00:00:02")) == [english("PostSucceed")], "thanked")
        members, at = earned(game)
        check(members == ["member_1"] and EPOCH + WAIT <= at <= game.now, "the first bonus member, at the post's time")
        game.press("alertBtn0")
        game.wait(1)
        check(game.message() == english("MemberAdded") and game.visible("person21"), "the new person is announced")
        check("effect levelup.mp3" in game.json_of("sounds", "SOUNDS"), "with its sound")
        game.finish()

    # After the tenth member: "PostBonusMax", still thanked, nothing earned. The clock moved back makes the wait longer
    # than three hours; a cancelled post changes nothing. A first post ever earns at once.
    for since, added, title, finish, thanks, after in (
            (5 * WAIT, 10, english("PostBonusMax"), "composePostBtn", [english("PostSucceed")], 10),
            (-3600, 0, english("PostBonusLeft", "04:00:00"), "composeCancelBtn", [], 0),
            (None, 0, english("PostBonus"), "composePostBtn", [english("PostSucceed")], 1)):
        with tempfile.TemporaryDirectory() as data:
            game = playing(data, since_bonus=since, added=added)
            check(share(game, title, finish) == thanks, "%s: the alert after the post" % title)
            members, at = earned(game)
            check(len(members) == after and (since is None or at == EPOCH), "%s: %r %r" % (title, members, at))
            game.finish()
