#!/usr/bin/env python3
"""Starting an explore through the script driver: the question's text for explore times of 59, 60,
61 and 3600 seconds, closing it without OK, the boss's wanted poster, the notifications scheduled at the start (badges for
intervals of 3 s and more, the end with or without sound, a badge more for an added member), and the returns at start + k x interval
with the remaining time on the panel.

Arguments: the source folder and the build folder (as ctest passes them)."""
import math
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import QUIET, Game, check, english  # noqa: E402

PARTY = 20


def game_in(data, dungeon, rate=None, **flags):
    state = dict(QUIET, current_dungeon_id=dungeon, **flags)
    if rate is not None:
        state["timeRate"] = rate
    game = Game(data, state=state)
    game.through_title()
    return game


def check_notifications(notes, start, interval, sound):
    """The end at start + 20 intervals, and a badge k at start + k intervals when the interval is 3 s or more."""
    ends = [n for n in notes if n["body"] is not None]
    check(len(ends) == 1, "one end notification: %r" % ends)
    end = ends[0]
    check(abs(end["fireDate"] - (start + PARTY * interval)) < 1e-3, "the end at %r, not %r" % (start + PARTY * interval, end["fireDate"]))
    check(end["body"] == english("Notification") and end["badge"] is None and end["userInfo"] is None, "the end: %r" % end)
    check(end["sound"] == sound and end["launchImage"] == "Default.png", "the end's sound and picture: %r" % end)
    badges = [n for n in notes if n["body"] is None]
    if interval < 3.0:
        check(badges == [], "no badges below 3 s: %r" % badges[:2])
        return
    check([n["badge"] for n in badges] == list(range(1, PARTY + 1)), "badges 1 to 20: %r" % [n["badge"] for n in badges])
    for k, n in enumerate(badges, 1):
        check(abs(n["fireDate"] - (start + k * interval)) < 1e-3 and n["sound"] is None, "badge %d: %r" % (k, n))


def main():
    # 20 x 6 s x 0.4917 = 59.004 s: seconds; 2.95 s a person is too short for badges.
    with tempfile.TemporaryDirectory() as data:
        game = game_in(data, 2, 0.4917)
        check(game.ask_explore() == english("FormatStartBodySec", 59), "59 s: %r" % game.message())
        game.press("okBtn")
        start = game.state()["timestamp_start"]
        check(abs(start - game.now) < 1e-6, "the start is the moment of OK")
        game.wait(0.5)
        check(game.visible("wantedImgView"), "the boss not hunted yet: the wanted poster shows")
        game.wait(3.5)
        check(not game.visible("wantedImgView"), "the poster goes when the party has left")
        check_notifications(game.notifications(), start, 6 * 0.4917, "levelup.mp3")
        game.finish()

    # Exactly 3 s a person, one minute: twenty badges, and a silent end with the sound switched off.
    with tempfile.TemporaryDirectory() as data:
        game = game_in(data, 2, 0.5, pushSoundOff=True)
        check(game.ask_explore() == english("FormatStartBodyMin", 1), "60 s: %r" % game.message())
        game.press("okBtn")
        start = game.state()["timestamp_start"]
        check_notifications(game.notifications(), start, 3.0, None)
        # Person k is back at start + 3k; polls are a second apart, so the count lags by less than one.
        seen = set()
        while game.now < start + 64:
            game.wait(0.5)
            back = game.comebacks()
            elapsed = game.now - start
            low, high = math.floor((elapsed - 1.0) / 3.0 + 1e-9), math.floor(elapsed / 3.0 + 1e-9)
            check(min(max(low, 0), PARTY) <= back <= min(high, PARTY), "%d back after %.1f s" % (back, elapsed))
            if abs(elapsed - 30.0) < 0.25 and "panel" not in seen:
                check(game.text_of("leftTimeLabel") in ("00:30", "00:31"), "time left: %r" % game.text_of("leftTimeLabel"))
                seen.add("panel")
            seen.add(back)
        check(seen >= set(range(1, PARTY + 1)), "every count passed: %r" % sorted(x for x in seen if x != "panel"))
        state = game.state()
        check("timestamp_start" not in state and game.notifications() == [], "the explore is over, nothing scheduled")
        check(len(game.persons()) == PARTY and not game.visible("exploreBtn"), "everyone stands on the stage, collecting")
        game.finish()

    # 61.008 s: minutes and seconds. Cancel starts nothing; the second question's OK does, with no
    # poster for a boss hunted already.
    with tempfile.TemporaryDirectory() as data:
        game = game_in(data, 2, 0.5084, monsters=[{"monster_id": 12, "times": 1, "viewed": True}])
        check(game.ask_explore() == english("FormatStartBody", 1, 1), "61 s: %r" % game.message())
        game.press("cancelBtn")
        game.wait(3)
        check("timestamp_start" not in game.state() and game.visible("exploreBtn"), "cancel starts nothing")
        check(len(game.persons()) == PARTY, "the party stays")
        game.ask_explore()
        game.press("okBtn")
        for _ in range(8):
            game.wait(0.5)
            check(not game.visible("wantedImgView"), "no poster for a hunted boss")
        check(game.state().get("timestamp_start", 0) > 0 and game.persons() == [], "OK sends everyone off")
        game.finish()

    # Dungeon 6, 180 s a person: an hour, with badges and the end's sound.
    with tempfile.TemporaryDirectory() as data:
        game = game_in(data, 6)
        check(game.ask_explore() == english("FormatStartBodyLong", 1, 0), "3600 s: %r" % game.message())
        game.press("okBtn")
        start = game.state()["timestamp_start"]
        check_notifications(game.notifications(), start, 180.0, "levelup.mp3")
        game.finish()

    # An added member: a person more on the stage, a badge more and the end one interval later.
    with tempfile.TemporaryDirectory() as data:
        game = game_in(data, 2, member_1={"member_id": 1})
        check(len(game.persons()) == PARTY + 1, "21 persons: %d" % len(game.persons()))
        check(game.ask_explore() == english("FormatStartBody", 2, 6), "126 s: %r" % game.message())
        game.press("okBtn")
        start = game.state()["timestamp_start"]
        notes = game.notifications()
        check([n["badge"] for n in notes if n["badge"]] == list(range(1, PARTY + 2)), "21 badges")
        check([n["fireDate"] for n in notes if n["body"]] == [start + 126], "the end after 21 x 6 s")
        game.finish()
    print("explore start: ok")


if __name__ == "__main__":
    main()
