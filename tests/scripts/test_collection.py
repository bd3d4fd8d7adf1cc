#!/usr/bin/env python3
"""The monster collection from the menu: opened with dungeon 4 current it shows 4/6; 10 of 36 hunted is 27%; next on
page 6 wraps to 1 and previous on 1 to 6; silhouettes cannot be pressed; No.07 with its leading zero; the new mark goes
once the detail was seen and the page shown again; a saved picture is an 80 x 80 PNG in the pictures folder, a second
save a second file, and a folder that cannot be written gives the failure alert and leaves nothing."""
import os
import struct
import sys
import tempfile

from driver import Game, QUIET, TITLE_SWIPE, check, english, folders, run

if '"menuBtn3"' not in open(os.path.join(folders()[0], "resources", "layouts", "Main.json")).read():
    print("the menu's collection button is not in this build: nothing to open the collection with")
    sys.exit(0)


def record(i):
    return {"monster_id": i, "times": 2 if i == 7 else 1, "viewed": i != 7}


def page(game):
    return game.text_of("pageLabel")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n", "a PNG: %r" % path)
    return struct.unpack(">II", head[16:24])


with tempfile.TemporaryDirectory() as data:
    pictures = os.path.join(data, "Pictures")
    os.environ["XDG_PICTURES_DIR"] = pictures
    game = Game(data, state=dict(QUIET, current_dungeon_id=4, collectionUnlocked=True, mapUnlocked=True,
                                 monsters=[record(i) for i in range(1, 11)]))
    game.through_title()
    game.press("menuBtn3")
    game.wait(1.5)
    check(page(game) == "4/6" and game.text_of("completionLabel") == "27%", "%r %r" % (page(game), game.text_of("completionLabel")))
    check(game.text_of("nameLabel") == "????", "dungeon 4 still closed")
    for _ in range(2):
        game.press("nextBtn")
    check(page(game) == "6/6", page(game))
    game.press("nextBtn")
    check(page(game) == "1/6", "next on the last page wraps: %r" % page(game))
    game.press("prevBtn")
    check(page(game) == "6/6", "previous on the first page wraps: %r" % page(game))
    game.press("nextBtn")
    game.press("nextBtn")  # page 2: monsters 7 to 12
    check(game.text_of("collectionCells.0.idLabel") == "No.07", game.text_of("collectionCells.0.idLabel"))
    check(game.visible("collectionCells.0.blandnewIcon"), "hunted, never seen: new")
    game.press("collectionCells.0.cellBtn")
    game.wait(1)
    check(game.visible("detailLabel") and game.text_of("idLabel") == "No.07", "the detail of No.07")
    game.press("saveBtn")
    game.wait(1)
    check(game.visible("alertView")[0].get("message") == english("SavedPicture"), "saved")
    game.press("alertBtn0")
    game.wait(0.5)  # the alert goes
    game.press("saveBtn")
    game.wait(1)
    game.press("alertBtn0")
    game.wait(0.5)  # the alert goes
    files = sorted(os.listdir(pictures))
    check(files == ["royal-expedition-7-2.png", "royal-expedition-7.png"], "two files, none replaced: %r" % files)
    check(all(png_size(os.path.join(pictures, f)) == (80, 80) for f in files), "the half-size picture")
    game.press("closeBtn")  # the detail
    game.wait(1)
    check(game.visible("collectionCells.0.blandnewIcon"), "the mark stays until the page is shown again")
    game.press("nextBtn")
    game.press("prevBtn")
    check(not game.visible("collectionCells.0.blandnewIcon"), "seen: no longer new")
    game.finish()

# A folder nobody may write in (not even the superuser), and a silhouette that cannot be pressed.
with tempfile.TemporaryDirectory() as data:
    script = "wait 2\n%s\nwait 6\npress menuBtn3\nwait 1.5\npress collectionCells.0.cellBtn\nwait 1\npress saveBtn\nwait 1\nviews\n" \
             "press alertBtn0\nwait 0.5\npress closeBtn\nwait 1\npress collectionCells.4.cellBtn\n" % TITLE_SWIPE
    out = run(data, script, status=2, state=dict(QUIET, current_dungeon_id=2, collectionUnlocked=True, monsters=[record(7)]),
              env=dict(os.environ, XDG_PICTURES_DIR="/proc/self"))
    alert = [v for v in out["VIEWS"][0] if v["name"] == "alertView"]
    check(alert and alert[0].get("message") == english("SavePictureFailed"), "the failure alert: %r" % alert)
    check('"collectionCells.4.cellBtn" is disabled' in out["errors"], out["errors"])
print("collection ok")
