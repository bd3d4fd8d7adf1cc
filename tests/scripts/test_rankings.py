#!/usr/bin/env python3
"""The leaderboard scores through the driver: reported from the save points at most once a minute and only for a
signed-in player, all four in every report, the monster total of the previous save in a report from saveGold; the
ranking screen shows what the database holds, and a damaged database stops neither the game nor the screen."""
import os
import sqlite3
import tempfile

from driver import EPOCH, QUIET, Game, check, english

BOARDS = ["treasure_hunter", "monster_hunter", "buta_hunter", "flamebird_hunter"]
# Dungeon 3 open (the ranking button), 4 puffpigs and 2 flamebirds hunted.
MONSTERS = [{"monster_id": 6, "times": 1, "viewed": True}, {"monster_id": 12, "times": 1, "viewed": True},
            {"monster_id": 1, "times": 4, "viewed": True}, {"monster_id": 17, "times": 2, "viewed": True}]
STATE = dict(QUIET, monsters=MONSTERS, gold=500, totalGold=1234, totalMonster=8)


def reports(data):
    """The reports in the database, in order: each a dict board -> score, grouped by their time."""
    path = os.path.join(data, "leaderboards.sqlite")
    if not os.path.exists(path):
        return []
    with sqlite3.connect(path) as db:
        rows = db.execute("SELECT reported_at, leaderboard, value FROM scores ORDER BY id").fetchall()
    grouped = {}
    for at, board, value in rows:
        grouped.setdefault(at, {})[board] = value
    return list(grouped.values())


def playing(data, state=STATE, sign_in="on"):
    game = Game(data, state=state, extra=("--sign-in", sign_in))
    game.through_title()
    return game


def save_point(game):
    """The game goes to the background (saveGold, then saveMonsters) and comes back."""
    game.send("background")
    game.send("activate")
    game.wait(0.5)


if __name__ == "__main__":
    # 59 s between two save points: one report; 60 s: two. Each report holds all four scores, unchanged or not. (The
    # title's collection saves too: the first save point here is a minute after it.)
    with tempfile.TemporaryDirectory() as data:
        game = playing(data)
        game.wait(60)
        at = game.now
        save_point(game)
        first = game.state()["timestampLastReport"]
        wall = first - at  # the game's wall clock against the script's count
        count = len(reports(data))
        check(reports(data)[-1] == {"treasure_hunter": 1234, "monster_hunter": 8, "buta_hunter": 4, "flamebird_hunter": 2},
              "the four scores: %r" % reports(data))
        game.wait(first + 59 - (game.now + wall))
        save_point(game)
        check(len(reports(data)) == count and game.state()["timestampLastReport"] == first, "59 s later: none")
        game.wait(first + 60.001 - (game.now + wall))
        save_point(game)
        check(len(reports(data)) == count + 1 and reports(data)[-1] == reports(data)[-2], "60 s later: all four again")

        # The ranking screen opens on today and shows the database's best and last scores; the scopes switch.
        game.press("rankingBtn")
        game.wait(1)
        check("/RANKING" in game.pages(), "the page view")
        for i, board in enumerate(BOARDS, 1):
            value = reports(data)[-1][board]
            check(game.text_of("boardBest%d" % i) == "%s %d" % (english("LeaderboardBest"), value), "best of %s" % board)
            check(game.text_of("boardLast%d" % i) == "%s %d" % (english("LeaderboardLast"), value), "last of %s" % board)
        game.press("scopeAllTimeBtn")
        game.wait(1)
        check(game.text_of("boardBest1") == "%s 1234" % english("LeaderboardBest"), "all time")
        game.press("leaderboardCloseBtn")
        game.wait(1)
        check(not game.visible("leaderboardSheet"), "closed")
        game.finish()

    # Not signed in: no report, timestampLastReport unchanged.
    with tempfile.TemporaryDirectory() as data:
        game = playing(data, dict(STATE, timestampLastReport=5.0), sign_in="off")
        save_point(game)
        check(reports(data) == [] and game.state()["timestampLastReport"] == 5.0, "nothing reported")
        check(not game.visible("rankingBtn"), "and no ranking button")
        game.finish()

    # A collection's save pair reports once, from saveGold: the saved monster total (which the collection itself
    # wrote with the person) and the current puffpig count.
    with tempfile.TemporaryDirectory() as data:
        game = playing(data, dict(STATE, person_1={"yieldType": 3, "monsterId": 1, "dungeonId": 1}, collectionUnlocked=True,
                                  timestampLastReport=EPOCH - 30.0))
        game.wait(60)
        game.collect_all()
        check([(r["monster_hunter"], r["buta_hunter"]) for r in reports(data)] == [(9, 5)], "one report: %r" % reports(data))
        game.finish()

    # A damaged database: the report is skipped and the game goes on; the screen says the boards cannot be read.
    with tempfile.TemporaryDirectory() as data:
        with open(os.path.join(data, "leaderboards.sqlite"), "wb") as f:
            f.write(b"this is no database" * 100)
        game = playing(data)
        save_point(game)
        game.press("rankingBtn")
        game.wait(1)
        check(game.text_of("leaderboardMessage") == english("LeaderboardUnreadable"), "the boards cannot be read")
        game.press("leaderboardCloseBtn")
        game.wait(1)
        game.press("exploreBtn")
        game.wait(1)
        check(game.visible("okBtn"), "the game still answers")
        with open(os.path.join(data, "leaderboards.sqlite"), "rb") as f:
            check(f.read() == b"this is no database" * 100, "the file is left as it was")
        game.finish()
