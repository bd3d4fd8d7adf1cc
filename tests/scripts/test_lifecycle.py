#!/usr/bin/env python3
"""The life cycle: the three-day reminder planned on going to the background and cancelled on becoming active (also by a
later run); activation while the title is open keeps the title; a run ended without `terminate` saves nothing; the tall
screen starts too; a damaged save is named to the player at start; an explore stands still in the background and its reminder stays."""
import os
import tempfile

from driver import EPOCH, TALL_TITLE_SWIPE, TITLE_SWIPE, check, on_main_screen, run


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
    # The tall screen: the title sits below the top panel, its row of persons at 411, where a swipe collects them.
    out = run(data, "wait 2\nviews\nclock -3600\nwait 1\necho still here\n%s\nwait 6\nviews\n" % TALL_TITLE_SWIPE, extra=("--screen", "568"))
    names = [v["name"] for v in out["VIEWS"][0]]
    root = [v for v in out["VIEWS"][0] if v["name"] == "titleRoot"]
    persons = [v["frame"][1] + v["frame"][3] / 2 for v in out["VIEWS"][0][:names.index("titleRoot")] if v["name"].startswith("person")]
    check(root and root[0]["frame"] == [0, 88, 320, 480] and out["still"] == ["here"], "the title below the band: %r" % root)
    check(persons == [411] * 5 and not [v for v in out["VIEWS"][1] if v["name"] == "titleRoot"], "persons at 411: %r" % persons)

# In the background the main screen stops polling: an explore that ends meanwhile keeps the reminder planned on leaving,
# and becoming active again brings everyone due home.
with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data)
    start = game.start_explore(walk=3.5)
    back = game.comebacks()
    game.send("background")
    game.wait(60)
    state, planned = game.state(), game.notifications()
    check(state.get("numComeback", 0) == back and state.get("timestamp_start") == start, "nobody returns in the background: %r" % state)
    check(any(n["userInfo"] == {"id": 1} for n in planned), "the three-day reminder stays: %r" % planned)
    game.send("activate")
    game.wait(2)
    check(game.comebacks() == 20 and "timestamp_start" not in game.state(), "back in front, the explore ends")
    game.finish()

# A save that cannot be read: the game starts fresh and tells the player, over the title, where the old file was kept.
with tempfile.TemporaryDirectory() as data:
    with open(os.path.join(data, "savedstate.plist"), "wb") as f:
        f.write(b"bplist00 torn off")
    out = run(data, "wait 1\nviews\n")
    kept = [name for name in os.listdir(data) if name.startswith("savedstate.plist.damaged-")]
    texts = [v.get("text", "") for v in out["VIEWS"][0] if v["name"] == "msgLabel"]
    check(kept and texts and kept[0] in texts[0], "the message names the kept file %r: %r" % (kept, texts))
