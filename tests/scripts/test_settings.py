#!/usr/bin/env python3
"""The settings from the menu. The notification sound: on, off, on, each press stored and flushed at once with its
alert, and the end-of-explore notification follows at the next explore. The second page: music and effect volumes
survive a restart and stay out of the saved game; the language switch changes the screen's texts at once."""
import json
import os
import sys
import tempfile

from driver import Game, QUIET, check, english, folders

if '"settingBtn"' not in open(os.path.join(folders()[0], "resources", "layouts", "Main.json")).read():
    print("the menu's settings button is not in this build: nothing to open the settings with")
    sys.exit(0)

FOREST_OPEN = dict(QUIET, mapUnlocked=True, monsters=[{"monster_id": 6, "times": 1, "viewed": True}])


def open_settings(game):
    game.press("settingBtn")
    game.wait(1)
    check(game.visible("pushSoundBtn"), "the settings are open")


def switch(game):
    return game.visible("pushSoundBtn")[0].get("image")


def end_sound(game):
    """The sound of the end-of-explore notification just planned (the one with a body)."""
    ends = [n for n in game.notifications() if n.get("body")]
    check(ends, "an end-of-explore notification")
    return ends[-1].get("sound")


def touch_at(game, name, share):
    v = game.visible(name)[0]
    x = v["frame"][0] + 5 + (v["frame"][2] - 10) * share
    game.send("touch %.2f %.2f" % (x, v["frame"][1] + v["frame"][3] / 2))


with tempfile.TemporaryDirectory() as data:
    game = Game(data, state=FOREST_OPEN)
    game.through_title()
    open_settings(game)
    check(switch(game) == "switch_on@2x.png", switch(game))
    for expected_off, picture, sound in ((True, "switch_off@2x.png", None), (False, "switch_on@2x.png", "levelup.mp3")):
        if not game.visible("pushSoundBtn"):
            open_settings(game)
        game.press("pushSoundBtn")
        game.wait(0.5)
        check(game.visible("alertView")[0].get("message") == english("PushSoundSetting"), "confirmed")
        game.press("alertBtn0")
        game.wait(0.5)  # the alert goes
        check(game.state().get("pushSoundOff", False) == expected_off and switch(game) == picture, "stored and shown")
        game.press("closeBtn")
        game.wait(1)
        game.start_explore(walk=4)
        check(end_sound(game) == sound, "the next explore's notification: %r" % end_sound(game))
        game.suspend()
        game.collect_all()

    # The second page: volumes at a quarter and three quarters, and Japanese.
    open_settings(game)
    game.press("nextBtn")
    check(game.visible("musicSlider") and not game.visible("pushSoundBtn"), "page 2")
    touch_at(game, "musicSlider", 0.25)
    touch_at(game, "effectSlider", 0.75)
    title = game.text_of("titleLabel")
    game.press("languageBtn")  # the system's -> English
    game.press("languageBtn")  # -> Japanese
    check(game.text_of("titleLabel") == "設定" and title == english("SettingTitle"), "at once: %r" % game.text_of("titleLabel"))
    check(game.visible("languageNote"), "the note on what changes later")
    state = game.state()
    game.proc.stdin.write("terminate\n")  # the game saves and ends: no answer comes back
    game.finish()
    check(not any(k in state for k in ("language", "musicVolume", "effectVolume")), "nothing in the saved game: %r" % list(state))
    with open(os.path.join(data, "settings.json")) as f:
        check(json.load(f).get("language") == "ja", "the player's settings file")

    game = Game(data)
    game.through_title()
    open_settings(game)
    game.press("nextBtn")
    music, effects = game.visible("musicSlider")[0]["value"], game.visible("effectSlider")[0]["value"]
    check(abs(music - 0.25) < 0.02 and abs(effects - 0.75) < 0.02, "volumes after a restart: %r %r" % (music, effects))
    game.finish()
print("settings ok")
