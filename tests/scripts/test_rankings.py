#!/usr/bin/env python3
"""The leaderboard scores through the driver: reported from the save points at most once a minute and only for a
signed-in player, all four in every report, one report for a save pair (from saveGold); the ranking screen shows what
the database holds, and a damaged database stops neither the game nor the screen."""
import os
import sqlite3
import tempfile

from driver import EPOCH, QUIET, Game, check, english

# Dungeon 3 open (the ranking button), 4 puffpigs and 2 flamebirds hunted.
MONSTERS = [{"monster_id": m, "times": t, "viewed": True} for m, t in ((6, 1), (12, 1), (1, 4), (17, 2))]
STATE = dict(QUIET, monsters=MONSTERS, gold=500, totalGold=1234, totalMonster=8)
SCORES = {"treasure_hunter": 1234, "monster_hunter": 8, "buta_hunter": 4, "flamebird_hunter": 2}


def reports(data):
    """The reports in the database, in order, each {board: score}."""
    path, grouped = os.path.join(data, "leaderboards.sqlite"), {}
    if os.path.exists(path):
        with sqlite3.connect(path) as db:
            for at, board, value in db.execute("SELECT reported_at, leaderboard, value FROM scores ORDER BY id"):
                grouped.setdefault(at, {})[board] = value
    return list(grouped.values())


def playing(data, sign_in="on", **values):
    game = Game(data, state=dict(STATE, **values), extra=("--sign-in", sign_in))
    game.through_title()
    return game


def save_point(game):
    """The game goes to the background (saveGold, then saveMonsters) and comes back."""
    game.send("background")
    game.send("activate")
    game.wait(0.5)


def open_rankings(game):
    game.press("rankingBtn")
    game.wait(1)


if __name__ == "__main__":
    # 59 s between two save points: one report; 60 s: two, all four scores again though unchanged. (The title's
    # collection saves too: the first save point here is a minute after it.) The screen opens on today and shows the
    # database's scores.
    with tempfile.TemporaryDirectory() as data:
        game = playing(data)
        game.wait(60)
        at = game.now
        save_point(game)
        first = game.state()["timestampLastReport"]
        wall, count = first - at, len(reports(data))  # the game's wall clock against the script's count
        check(reports(data)[-1] == SCORES, "the four scores: %r" % reports(data))
        for after, more in ((59, 0), (60.001, 1)):
            game.wait(first + after - (game.now + wall))
            save_point(game)
            check(len(reports(data)) == count + more and reports(data)[-1] == SCORES, "%g s later: %r" % (after, reports(data)))
        open_rankings(game)
        for i, board in enumerate(SCORES, 1):
            for kind, name in (("Best", "boardBest%d"), ("Last", "boardLast%d")):
                check(game.text_of(name % i) == "%s %d" % (english("Leaderboard" + kind), SCORES[board]), name % i)
        check("/RANKING" in game.pages(), "the page view")
        game.finish()

    # Not signed in: no report, timestampLastReport unchanged, no ranking button.
    with tempfile.TemporaryDirectory() as data:
        game = playing(data, sign_in="off", timestampLastReport=5.0)
        save_point(game)
        check(reports(data) == [] and game.state()["timestampLastReport"] == 5.0 and not game.visible("rankingBtn"), "none")
        game.finish()

    # A collection's save pair reports once, from saveGold: the saved monster total (the collection itself writes it
    # with the person) and the current puffpig count.
    with tempfile.TemporaryDirectory() as data:
        game = playing(data, person_1={"yieldType": 3, "monsterId": 1, "dungeonId": 1}, collectionUnlocked=True,
                       timestampLastReport=EPOCH - 30.0)
        game.wait(60)
        game.collect_all()
        check([(r["monster_hunter"], r["buta_hunter"]) for r in reports(data)] == [(9, 5)], "one report: %r" % reports(data))
        game.finish()

    # A damaged database: the report is skipped, the file left as it was, and the game goes on; the screen says the
    # boards cannot be read.
    with tempfile.TemporaryDirectory() as data:
        junk = os.path.join(data, "leaderboards.sqlite")
        with open(junk, "wb") as f:
            f.write(b"this is no database" * 100)
        game = playing(data)
        save_point(game)
        open_rankings(game)
        check(game.text_of("leaderboardMessage") == english("LeaderboardUnreadable"), "the boards cannot be read")
        game.press("leaderboardCloseBtn")
        game.wait(1)
        game.press("exploreBtn")
        game.wait(1)
        with open(junk, "rb") as f:
            check(game.visible("okBtn") and f.read() == b"this is no database" * 100, "the game goes on, the file kept")
        game.finish()
