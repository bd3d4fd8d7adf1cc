#!/usr/bin/env python3
"""Backups of the saved game: each day's first good save is kept in backups/. When the save is found damaged at the
start, the player is told so and offered the newest good backup, which loads on confirmation (and the game shown is
the restored one); declined, or with no backups at all, the player is told and the game starts fresh. The damaged
file is kept aside, byte for byte, every time."""
import glob
import os
import plistlib
import tempfile

from driver import EPOCH, QUIET, Game, check, english, write_state

DAY = 86400
DAMAGED = b"bplist00 torn in half by a power cut"


def start_on(folder, day, gold):
    """A start on that day with that save: the save read well is the day's backup."""
    write_state(folder, dict(QUIET, gold=gold, totalGold=gold))
    game = Game(folder, epoch=EPOCH + day * DAY)
    game.wait(1)
    game.finish()


def damaged_start(folder, day):
    with open(os.path.join(folder, "savedstate.plist"), "wb") as f:
        f.write(DAMAGED)
    game = Game(folder, epoch=EPOCH + day * DAY)
    game.wait(1)
    return game


def kept_aside(folder):
    kept = glob.glob(os.path.join(folder, "savedstate.plist.damaged-*"))
    check(len(kept) == 1, "the damaged save is kept aside: %r" % kept)
    with open(kept[0], "rb") as f:
        check(f.read() == DAMAGED, "byte for byte")
    return os.path.basename(kept[0])


with tempfile.TemporaryDirectory() as folder:
    for day, gold in ((0, 100), (1, 200), (1, 250), (3, 300)):
        start_on(folder, day, gold)
    backups = sorted(os.listdir(os.path.join(folder, "backups")))
    check(len(backups) == 3, "one a day: %r" % backups)
    newest_day = backups[-1][len("savedstate-"):-len(".plist")]
    with open(os.path.join(folder, "backups", backups[1]), "rb") as f:
        check(plistlib.load(f)["gold"] == 200, "the day's first save is its backup")

    # Damaged: the offer names the kept file and the newest backup's day; loading it restores that game.
    game = damaged_start(folder, 4)
    alert = game.visible("alertView")
    check(alert and alert[0].get("message") == english("FormatDamagedSaveBackup", kept_aside(folder), newest_day), "offered: %r" % alert)
    check(not game.visible("titleRoot"), "asked before the game is built")
    game.press("alertBtn1")
    game.wait(1)
    check(game.message() == english("BackupLoaded"), "told: %r" % game.message())
    check(game.state().get("gold") == 300, "the newest backup is loaded")
    game.press("hiddenBtn")
    game.wait(1)
    game.through_title()
    game.proc.stdin.write("terminate\n")  # the gold manager saves what it loaded
    game.finish()
    with open(os.path.join(folder, "savedstate.plist"), "rb") as f:
        check(plistlib.load(f).get("gold") == 300, "the game was built on the restored save")
    check(sorted(os.listdir(os.path.join(folder, "backups"))) == backups, "no second copy of the restored game")

    # Declined: a new game, the damaged file kept aside again, the backups left for another day.
    os.remove(os.path.join(folder, kept_aside(folder)))
    game = damaged_start(folder, 5)
    game.press("alertBtn0")
    game.wait(1)
    check(game.visible("titleRoot") and "gold" not in game.state(), "a new game")
    kept_aside(folder)
    game.finish()
    check(len(os.listdir(os.path.join(folder, "backups"))) == 3, "the backups stay")

# No backups: told where the damaged save is kept, and a new game begins.
with tempfile.TemporaryDirectory() as folder:
    game = damaged_start(folder, 0)
    check(not game.visible("alertView"), "nothing to offer")
    check(game.message() == english("FormatDamagedSave", kept_aside(folder)), "told: %r" % game.message())
    check(game.visible("titleRoot") and game.state().get("gold", 0) == 0, "a new game")
    game.finish()
print("save backups ok")
