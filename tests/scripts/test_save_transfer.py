#!/usr/bin/env python3
"""Carrying a saved game: an export from the settings and from the command line is a readable XML property list with
the game's header; imported on a fresh folder (from the command line and from the settings) it gives the same state at
the next start. A damaged file, another game's file, a newer version's and one with values of the wrong kind are
refused in the game's words, from both places, and change nothing."""
import os
import plistlib
import shutil
import subprocess
import tempfile

from driver import QUIET, Game, check, english, game_binary, on_main_screen

APP_ID = "com.example.royalexpedition"
PLAYED = dict(QUIET, gold=1234, totalGold=5678, mapUnlocked=True, shopUnlocked=True, current_dungeon_id=2,
              monsters=[{"monster_id": 6, "times": 3, "viewed": True}], equip_1={"equip_id": 1})
MENU_OPEN = dict(mapUnlocked=True, monsters=[{"monster_id": 6, "times": 1, "viewed": True}])  # the settings button shows


def run(*args):
    return subprocess.run([game_binary(), "--lang", "en", *args], capture_output=True, text=True, timeout=60)


def page_two(game):
    game.press("settingBtn")
    game.wait(1)
    game.press("nextBtn")
    check(game.visible("exportBtn") and game.visible("importBtn"), "export and import are on the second page")


def alert_message(game):
    alerts = game.visible("alertView")
    check(alerts, "an alert is up")
    return alerts[0].get("message")


def answer(game, button):
    game.press(button)
    game.wait(0.5)


def folder_files(folder):
    """Every file below the folder with its bytes, to prove nothing changed."""
    found = {}
    for root, _, files in os.walk(folder):
        for name in files:
            with open(os.path.join(root, name), "rb") as f:
                found[os.path.relpath(os.path.join(root, name), folder)] = f.read()
    return found


def same_state(loaded, exported, what):
    """The state a start loads: every exported key as it was; the start itself only signs the player in."""
    changed = {k for k in exported if loaded.get(k) != exported[k]}
    added = set(loaded) - set(exported) - {"GKLoginSucceeded"}
    check(not changed and not added, "%s: changed %r, added %r" % (what, sorted(changed), sorted(added)))


with tempfile.TemporaryDirectory() as top:
    played, fresh, fresh2, refuser = (os.path.join(top, n) for n in ("played", "fresh", "fresh2", "refuser"))
    for folder in (played, fresh, fresh2, refuser):
        os.makedirs(folder)

    # ---- An export from the settings: a dated file in exports/, and the player is told where.
    game = on_main_screen(played, **{k: v for k, v in PLAYED.items() if k not in QUIET})
    page_two(game)
    answer(game, "exportBtn")
    exports = sorted(os.listdir(os.path.join(played, "exports")))
    check(len(exports) == 1 and exports[0].startswith("royal-expedition-"), "one dated export: %r" % exports)
    check(alert_message(game) == english("FormatExportDone", exports[0], os.path.join(played, "exports")), alert_message(game))
    answer(game, "alertBtn0")
    state = game.state()
    game.proc.stdin.write("terminate\n")
    game.finish()
    export_path = os.path.join(played, "exports", exports[0])
    with open(export_path, "rb") as f:
        text = f.read()
    check(text.startswith(b"<?xml"), "a readable XML property list")
    document = plistlib.loads(text)
    check(document["application"] == APP_ID and document["version"], "the header: %r" % {k: document[k] for k in ("application", "version")})
    exported = document["savedState"]
    for key in ("gold", "totalGold", "monsters", "equip_1", "current_dungeon_id"):
        check(exported.get(key) == state.get(key), "exported %s: %r, the game had %r" % (key, exported.get(key), state.get(key)))

    # ---- The same from the command line, read from the save file alone.
    cli_export = os.path.join(top, "carried.plist")
    done = run("--data-dir", played, "--export-save", cli_export)
    check(done.returncode == 0, done.stderr)
    check(done.stdout.strip() == english("FormatExportDone", "carried.plist", top), done.stdout)
    with open(os.path.join(played, "savedstate.plist"), "rb") as f:
        on_disk = plistlib.load(f)
    with open(cli_export, "rb") as f:
        check(plistlib.load(f)["savedState"] == on_disk, "the command line exports the save as it is on disk")
    empty = os.path.join(top, "empty")
    os.makedirs(empty)
    nothing = run("--data-dir", empty, "--export-save", os.path.join(top, "none.plist"))
    check(nothing.returncode == 1 and english("ExportNoSave") in nothing.stderr, "no save, no export: %r" % nothing.stderr)

    # ---- Imported from the command line on a fresh folder: loaded at the next start, which says so.
    done = run("--data-dir", fresh, "--import-save", cli_export)
    check(done.returncode == 0 and done.stdout.strip() == english("FormatImportNextStart", "carried.plist"), done.stdout + done.stderr)
    game = Game(fresh)
    game.wait(1)
    check(game.message() == english("ImportLoaded"), "told at the start: %r" % game.message())
    same_state(game.state(), on_disk, "imported from the command line")
    game.finish()
    check(not os.path.exists(os.path.join(fresh, "savedstate-import.plist")), "the waiting import has been taken")

    # ---- Imported from the settings: the newest files in exports/ are offered; the import waits for the next start,
    # and the game played until then is kept as that day's backup.
    os.makedirs(os.path.join(fresh2, "exports"))
    shutil.copy(export_path, os.path.join(fresh2, "exports", "b-good.plist"))
    shutil.copy(export_path, os.path.join(fresh2, "exports", "a-older.plist"))
    game = on_main_screen(fresh2, gold=7, **MENU_OPEN)
    page_two(game)
    answer(game, "importBtn")
    sheet = game.visible("alertView")
    check(sheet and sheet[0].get("title") == english("ImportChoose"), "the files are offered: %r" % sheet)
    check(game.text_of("alertBtn0") == "b-good.plist" and game.text_of("alertBtn1") == "a-older.plist", "newest name first")
    answer(game, "alertBtn0")
    check(game.message() == english("FormatImportConfirm", "b-good.plist"), "asked first: %r" % game.message())
    answer(game, "okBtn")
    check(alert_message(game) == english("FormatImportNextStart", "b-good.plist"), alert_message(game))
    answer(game, "alertBtn0")
    check(game.state().get("gold") == 7, "nothing changes while this game runs")
    game.proc.stdin.write("terminate\n")
    game.finish()
    game = Game(fresh2)
    game.wait(1)
    check(game.message() == english("ImportLoaded"), "told at the start: %r" % game.message())
    same_state(game.state(), exported, "imported from the settings")
    game.finish()
    backups = os.listdir(os.path.join(fresh2, "backups"))
    check(len(backups) == 1, "the game before the import is kept: %r" % backups)
    with open(os.path.join(fresh2, "backups", backups[0]), "rb") as f:
        check(plistlib.load(f).get("gold") == 7, "the backup holds the game before the import")

    # ---- Refused, from the command line and from the settings, changing nothing.
    with open(export_path, "rb") as f:
        good = plistlib.load(f)
    bad = {
        "damaged.plist": (text[: len(text) // 2], english("ImportUnreadable")),
        "other.plist": (plistlib.dumps(dict(good, application="com.example.othergame")), english("ImportOtherGame")),
        "newer.plist": (plistlib.dumps(dict(good, version="99.0.0")), english("FormatImportNewer", "99.0.0")),
        "kinds.plist": (plistlib.dumps(dict(good, savedState=dict(exported, gold="lots"))), english("ImportWrongKinds")),
        "deep.plist": (b'<?xml version="1.0"?><plist><dict><key>application</key><string>' + APP_ID.encode() +
                       b"</string><key>savedState</key>" + b"<array>" * 200 + b"</array>" * 200 + b"</dict></plist>",
                       english("ImportUnreadable")),
    }
    game = on_main_screen(refuser, gold=42, **MENU_OPEN)
    game.proc.stdin.write("terminate\n")
    game.finish()
    os.makedirs(os.path.join(refuser, "exports"))
    for name, (data, _) in bad.items():
        with open(os.path.join(refuser, "exports", name), "wb") as f:
            f.write(data)
    before = folder_files(refuser)
    for name, (_, message) in bad.items():
        refused = run("--data-dir", refuser, "--import-save", os.path.join(refuser, "exports", name))
        check(refused.returncode == 1 and message in refused.stderr, "%s: %r" % (name, refused.stderr))
    missing = run("--data-dir", refuser, "--import-save", os.path.join(top, "nowhere.plist"))
    check(missing.returncode == 1 and english("FormatImportMissing", os.path.join(top, "nowhere.plist")) in missing.stderr, missing.stderr)
    check(folder_files(refuser) == before, "the command line's refusals changed nothing")

    game = Game(refuser)
    game.through_title()
    order = sorted(bad, reverse=True)
    for name in order:
        page_two(game)
        answer(game, "importBtn")
        answer(game, "alertBtn%d" % order.index(name))
        check(alert_message(game) == bad[name][1], "%s: %r" % (name, alert_message(game)))
        answer(game, "alertBtn0")
        game.press("closeBtn")
        game.wait(1)
    check(game.state().get("gold") == 42, "the game is untouched")
    game.finish()
    after = folder_files(refuser)
    check(not any(k.startswith("savedstate-import") for k in after), "no import waits")
    check({k: v for k, v in after.items() if k.startswith(("exports", "backups"))} ==
          {k: v for k, v in before.items() if k.startswith(("exports", "backups"))}, "the files are untouched")
print("save transfer ok")
