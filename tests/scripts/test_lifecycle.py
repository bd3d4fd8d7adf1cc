#!/usr/bin/env python3
"""The life cycle: the three-day reminder planned on going to the background and cancelled on becoming active (also by a
later run); activation while the title is open keeps the title; a run ended without `terminate` saves nothing; the tall
screen starts too."""
import tempfile

from driver import EPOCH, TITLE_SWIPE, check, run


with tempfile.TemporaryDirectory() as data:
    out = run(data, "wait 2\nbackground\nnotifications\nactivate\nnotifications\npages\nwait 1\nbackground\nterminate\n")
    (reminder, *more), after = out["NOTIFICATIONS"]
    check(not more and abs(reminder["fireDate"] - (EPOCH + 2 + 259200)) < 1e-3, "one reminder three days after going away: %r" % reminder)
    check((reminder["sound"], reminder["launchImage"], reminder["userInfo"]) == ("menu_tap.mp3", "Default.png", {"id": 1})
          and reminder["body"], "sound, picture, user info and text: %r" % reminder)
    check(after == [], "activation removes it")
    check("/MAIN" not in out["PAGES"][0], "the title stays in front: %r" % out["PAGES"][0])
    check(run(data, "notifications\n", epoch=EPOCH + 60)["NOTIFICATIONS"][0] == [], "a later start cancels the old reminder")
    check(run(data, "state\n", epoch=EPOCH + 120)["STATE"][0].get("firstTitleDone") is True, "terminate saved the first run")

with tempfile.TemporaryDirectory() as data:
    run(data, "wait 2\n%s\nwait 6\n" % TITLE_SWIPE)
    state = run(data, "state\n", epoch=EPOCH + 10)["STATE"][0]
    check("tutorialShown" not in state, "a run ended without terminate saved nothing: %r" % state)
    out = run(data, "wait 2\nviews\nclock -3600\nwait 1\necho still here\n", extra=("--screen", "568"))
    root = [v for v in out["VIEWS"][0] if v["name"] == "titleRoot"]
    check(root and root[0]["frame"][3] == 568 and out["still"] == ["here"], "the title covers the tall screen: %r" % root)
