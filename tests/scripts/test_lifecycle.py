#!/usr/bin/env python3
"""The application's life cycle through the script driver: the three-day reminder scheduled on
going to the background (text, picture, sound, user info, fire time) and cancelled on becoming
active, also by a later run on the same data directory; becoming active while the title is open
does not bring up the main screen; a run that ends without `terminate` saves nothing; the tall
screen starts too.

Arguments: the source folder and the build folder (as ctest passes them)."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from driver import EPOCH, TITLE_SWIPE, check, run  # noqa: E402


def main():
    with tempfile.TemporaryDirectory() as data:
        out = run(data, "wait 2\nbackground\nnotifications\nactivate\nnotifications\npages\nwait 1\nbackground\nterminate\n")
        first, after = out["NOTIFICATIONS"]
        check(len(first) == 1, "one reminder: %r" % first)
        reminder = first[0]
        check(abs(reminder["fireDate"] - (EPOCH + 2 + 259200)) < 1e-3, "three days after going away: %r" % reminder["fireDate"])
        check(reminder["sound"] == "menu_tap.mp3" and reminder["launchImage"] == "Default.png", "sound and picture")
        check(reminder["userInfo"] == {"id": 1} and reminder["body"], "user info and text")
        check(after == [], "activation removes it")
        check("/MAIN" not in out["PAGES"][0], "the title stays in front: %r" % out["PAGES"][0])

        # The reminder of the last run is found and cancelled by the next one.
        out = run(data, "notifications\n", epoch=EPOCH + 60)
        check(out["NOTIFICATIONS"][0] == [], "a later start becomes active and cancels the old reminder")
        out = run(data, "state\n", epoch=EPOCH + 120)
        check(out["STATE"][0].get("firstTitleDone") is True, "terminate saved the first run")

    with tempfile.TemporaryDirectory() as data:
        run(data, "wait 2\n%s\nwait 6\n" % TITLE_SWIPE)
        out = run(data, "state\n", epoch=EPOCH + 10)
        check("tutorialShown" not in out["STATE"][0], "a run ended without terminate saved nothing: %r" % out["STATE"][0])
        out = run(data, "wait 2\nviews\nclock -3600\nwait 1\necho still here\n", extra=("--screen", "568"))
        names = [v["name"] for v in out["VIEWS"][0]]
        check("titleRoot" in names and out["still"] == ["here"], "the tall screen starts with the title")
        root = [v for v in out["VIEWS"][0] if v["name"] == "titleRoot"][0]
        check(root["frame"][3] == 568, "the title covers the tall screen: %r" % root["frame"])
    print("life cycle: ok")


if __name__ == "__main__":
    main()
