#!/usr/bin/env python3
"""The application's life cycle through the script driver: the three-day reminder scheduled on
going to the background (text, picture, sound, user info, fire time) and cancelled on becoming
active, also by a later run on the same data directory; becoming active while the title is open
does not bring up the main screen; a run that ends without `terminate` saves nothing; the tall
screen starts too.

Arguments: the source folder and the build folder (as ctest passes them)."""
import json
import os
import subprocess
import sys
import tempfile

EPOCH = 1800000000


def run(binary, data, script, epoch=EPOCH, extra=()):
    result = subprocess.run([binary, "--headless", "--data-dir", data, "--epoch", str(epoch), "--seed", "3", "--lang", "en",
                             *extra, "--script", "-"], input=script, capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise AssertionError("status %d: %s" % (result.returncode, result.stderr))
    out = {}
    for line in result.stdout.splitlines():
        word, _, rest = line.partition(" ")
        out.setdefault(word, []).append(json.loads(rest) if word in ("STATE", "NOTIFICATIONS", "PAGES", "VIEWS") else rest)
    return out


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def main():
    build = sys.argv[2] if len(sys.argv) > 2 else "build"
    binary = os.path.join(build, "royal-expedition")
    with tempfile.TemporaryDirectory() as data:
        out = run(binary, data, "wait 2\nbackground\nnotifications\nactivate\nnotifications\npages\nwait 1\nbackground\nterminate\n")
        first, after = out["NOTIFICATIONS"]
        check(len(first) == 1, "one reminder: %r" % first)
        reminder = first[0]
        check(abs(reminder["fireDate"] - (EPOCH + 2 + 259200)) < 1e-3, "three days after going away: %r" % reminder["fireDate"])
        check(reminder["sound"] == "menu_tap.mp3" and reminder["launchImage"] == "Default.png", "sound and picture")
        check(reminder["userInfo"] == {"id": 1} and reminder["body"], "user info and text")
        check(after == [], "activation removes it")
        check("/MAIN" not in out["PAGES"][0], "the title stays in front: %r" % out["PAGES"][0])

        # The reminder of the last run is found and cancelled by the next one.
        out = run(binary, data, "notifications\n", epoch=EPOCH + 60)
        check(out["NOTIFICATIONS"][0] == [], "a later start becomes active and cancels the old reminder")
        out = run(binary, data, "state\n", epoch=EPOCH + 120)
        check(out["STATE"][0].get("firstTitleDone") is True, "terminate saved the first run")

    with tempfile.TemporaryDirectory() as data:
        run(binary, data, "wait 2\nswipe 40 323 290 323 25\nwait 6\n")
        out = run(binary, data, "state\n", epoch=EPOCH + 10)
        check("tutorialShown" not in out["STATE"][0], "a run ended without terminate saved nothing: %r" % out["STATE"][0])
        out = run(binary, data, "wait 2\nviews\nclock -3600\nwait 1\necho still here\n", extra=("--screen", "568"))
        names = [v["name"] for v in out["VIEWS"][0]]
        check("titleRoot" in names and out["still"] == ["here"], "the tall screen starts with the title")
        root = [v for v in out["VIEWS"][0] if v["name"] == "titleRoot"][0]
        check(root["frame"][3] == 568, "the title covers the tall screen: %r" % root["frame"])
    print("life cycle: ok")


if __name__ == "__main__":
    main()
