#!/usr/bin/env python3
"""Starting an explore: the question for 59, 60, 61 and 3600 s, cancel, the boss's wanted poster, the notifications
scheduled (badges from 3 s a person, the end with or without sound, a badge more for an added member), and the returns
at start + k x interval with the time left on the panel."""
import math
import tempfile

from driver import check, english, on_main_screen

PARTY = 20


def asked_and_started(data, question, dungeon=2, **values):
    """The question's text checked, OK pressed; the game and the stored start, the moment of OK."""
    game = on_main_screen(data, current_dungeon_id=dungeon, **values)
    check(game.ask_explore() == question, "the question: %r, not %r" % (game.message(), question))
    game.press("okBtn")
    start = game.state()["timestamp_start"]
    check(abs(start - game.now) < 1e-6, "the start is the moment of OK")
    return game, start


def check_notifications(notes, start, interval, sound, party=PARTY):
    """The end at start + party intervals, and a badge k at start + k intervals when the interval is 3 s or more."""
    ends, badges = [n for n in notes if n["body"] is not None], [n for n in notes if n["body"] is None]
    check(len(ends) == 1 and abs(ends[0]["fireDate"] - (start + party * interval)) < 1e-3, "one end at %r: %r" % (start + party * interval, ends))
    check((ends[0]["body"], ends[0]["badge"], ends[0]["userInfo"], ends[0]["sound"], ends[0]["launchImage"])
          == (english("Notification"), None, None, sound, "Default.png"), "the end: %r" % ends[0])
    expected = [(k, start + k * interval, None) for k in range(1, party + 1)] if interval >= 3.0 else []
    check(len(badges) == len(expected) and all(n["badge"] == k and abs(n["fireDate"] - at) < 1e-3 and n["sound"] is s
                                               for n, (k, at, s) in zip(badges, expected)), "badges: %r" % badges[:3])


# 20 x 6 s x 0.4917 = 59.004 s: seconds; 2.95 s a person is too short for badges. The boss not hunted yet: the
# wanted poster shows until the party has left.
with tempfile.TemporaryDirectory() as data:
    game, start = asked_and_started(data, english("FormatStartBodySec", 59), timeRate=0.4917)
    game.wait(0.5)
    check(game.visible("wantedImgView"), "the wanted poster shows")
    game.wait(3.5)
    check(not game.visible("wantedImgView"), "the poster goes when the party has left")
    check_notifications(game.notifications(), start, 6 * 0.4917, "levelup.mp3")
    game.finish()

# Exactly 3 s a person, one minute: twenty badges, and a silent end with the sound switched off.
with tempfile.TemporaryDirectory() as data:
    game, start = asked_and_started(data, english("FormatStartBodyMin", 1), timeRate=0.5, pushSoundOff=True)
    check_notifications(game.notifications(), start, 3.0, None)
    # Person k is back at start + 3k; polls are a second apart, so the count lags by less than one.
    seen = set()
    while game.now < start + 64:
        game.wait(0.5)
        back, elapsed = game.comebacks(), game.now - start
        low, high = math.floor((elapsed - 1.0) / 3.0 + 1e-9), math.floor(elapsed / 3.0 + 1e-9)
        check(min(max(low, 0), PARTY) <= back <= min(high, PARTY), "%d back after %.1f s" % (back, elapsed))
        check(abs(elapsed - 30.0) >= 0.25 or game.text_of("leftTimeLabel") in ("00:30", "00:31"), "time left: %r" % game.text_of("leftTimeLabel"))
        seen.add(back)
    check(seen >= set(range(1, PARTY + 1)), "every count passed: %r" % sorted(seen))
    check("timestamp_start" not in game.state() and game.notifications() == [], "the explore is over, nothing scheduled")
    check(len(game.persons()) == PARTY and not game.visible("exploreBtn"), "everyone stands on the stage, collecting")
    game.finish()

# 61.008 s: minutes and seconds. Cancel starts nothing; the second question's OK does, with no poster for a boss
# hunted already.
with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data, current_dungeon_id=2, timeRate=0.5084, monsters=[{"monster_id": 12, "times": 1, "viewed": True}])
    check(game.ask_explore() == english("FormatStartBody", 1, 1), "61 s: %r" % game.message())
    game.press("cancelBtn")
    game.wait(3)
    check("timestamp_start" not in game.state() and game.visible("exploreBtn") and len(game.persons()) == PARTY, "cancel starts nothing")
    game.start_explore(walk=0)
    for _ in range(8):
        game.wait(0.5)
        check(not game.visible("wantedImgView"), "no poster for a hunted boss")
    check(game.persons() == [], "OK sends everyone off")
    game.finish()

# Dungeon 6, 180 s a person: an hour, with badges and the end's sound.
with tempfile.TemporaryDirectory() as data:
    game, start = asked_and_started(data, english("FormatStartBodyLong", 1, 0), dungeon=6)
    check_notifications(game.notifications(), start, 180.0, "levelup.mp3")
    game.finish()

# An added member: a person more on the stage, a badge more and the end one interval later.
with tempfile.TemporaryDirectory() as data:
    game, start = asked_and_started(data, english("FormatStartBody", 2, 6), member_1={"member_id": 1})
    check(len(game.persons()) == PARTY + 1, "21 persons: %d" % len(game.persons()))
    check_notifications(game.notifications(), start, 6.0, "levelup.mp3", PARTY + 1)
    game.finish()
