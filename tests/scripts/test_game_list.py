#!/usr/bin/env python3
"""The game list and the cross-promotion banners through the driver, against the test index server on a free loopback
port: this game left out, names in the player's language, start-or-store, and every hostile index leaving the list
empty or partial in bounded time and memory while the game goes on answering and opens nothing the rules forbid."""
import os
import subprocess
import sys
import tempfile
import time

from driver import QUIET, Game, check, folders

OPENED_LIST = [{"monster_id": 6 * d, "times": 1, "viewed": True} for d in (1, 2, 3)]  # dungeon 4 open: the info button
STATE = dict(QUIET, monsters=OPENED_LIST)
STORE = "https://example.com/store/apps/"


class Player(Game):
    """A game whose language comes from the desktop (LANGUAGE) when `desktop_language` is given."""

    def __init__(self, data, base, desktop_language=None, extra=()):
        self.desktop_language = desktop_language
        super().__init__(data, state=STATE, extra=("--index-url", base, *extra))

    def launch(self, command):
        env = dict(os.environ)
        env.pop("RE_INDEX_URL", None)
        if self.desktop_language:
            at = command.index("--lang")
            del command[at:at + 2]
            env["LANGUAGE"] = self.desktop_language
        return subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                bufsize=1, env=env)


def rows(game):
    """The list's rows on screen: (name, detail)."""
    texts = {v["name"]: v.get("text") for v in game.views()}
    return [(texts["myTableView.row%d.nameLabel" % n], texts["myTableView.row%d.detailLabel" % n])
            for n in range(20) if "myTableView.row%d.nameLabel" % n in texts]


def open_list(game):
    game.press("infoBtn")
    game.wait(1)
    check(game.visible("gamelinkRoot"), "the list is up")
    return rows(game)


def close_and_go_on(game):
    """The list closes and the game still answers."""
    for button in ("closeBtn", "exploreBtn"):
        game.press(button)
        game.wait(1)
    check(not game.visible("gamelinkRoot") and game.visible("okBtn"), "the list has gone, the game answers")


def finish_measured(game):
    """Ends the run; its peak memory in KiB."""
    game.proc.stdin.close()
    _, status, usage = os.wait4(game.proc.pid, 0)
    game.proc.returncode = os.waitstatus_to_exitcode(status)
    check(game.proc.returncode == 0, "the run ended with %d: %s" % (game.proc.returncode, game.proc.stderr.read()))
    return usage.ru_maxrss


if __name__ == "__main__":
    icon = os.path.join(folders()[1], "resources", "gamelink", "icon_ios", "moonkettle-slime-ranch.png")
    server = subprocess.Popen([sys.executable, os.path.join(folders()[0], "tests", "net", "index_server.py"), icon],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    port = int(server.stdout.readline())
    base = "http://127.0.0.1:%d/%%s/" % port
    try:
        # A good index: this game left out, the other objects in order. Touched rows: an installed game starts, another
        # opens its store page, the hostile one opens nothing.
        with tempfile.TemporaryDirectory() as data:
            game = Player(data, base % "good")
            game.through_title()
            listed = open_list(game)
            check(listed == [("Slime Ranch", "Slimes"), ("Sneaky", "")], "the good list: %r" % listed)
            check("/INFO" in game.pages(), "the page view")
            game.send("select myTableView 0")
            game.send("installed moonkettle-slimeranch")
            game.send("select myTableView 0")
            game.send("select myTableView 1")
            game.wait(1)
            check(game.json_of("opened", "OPENED") == [STORE + "moonkettle-slime-ranch", "moonkettle-slimeranch://"],
                  "store page, then the installed game, nothing for the hostile row: %r" % game.json_of("opened", "OPENED"))
            pages = game.pages()
            check("/APPSTORE_moonkettle-slime-ranch" in pages and "/INSTALLED_APP_moonkettle-slimeranch" in pages
                  and not any("rm -rf" in p or ".." in p for p in pages), "page views: %r" % pages)
            close_and_go_on(game)
            game.finish()

        # The tall screen's banners: the list's games, one a banner, each opened as its row would be.
        with tempfile.TemporaryDirectory() as data:
            game = Player(data, base % "good", extra=("--screen", "568"))
            game.through_title()
            names = sorted(v.get("text") for v in game.views() if v["name"] == "promoName")
            check(names == ["Slime Ranch"] * 2 + ["Sneaky"] * 2, "the banners: %r" % names)
            game.press("promoBtn2")
            game.press("promoBtn3")
            check(game.json_of("opened", "OPENED") == [STORE + "moonkettle-slime-ranch"], "only the slime ranch's page")
            game.finish()

        # Japanese without a "ja" name, and a desktop set to traditional Chinese with an empty "cn": both read "en".
        for extra, language in ((("--lang", "ja"), None), ((), "zh_TW")):
            with tempfile.TemporaryDirectory() as data:
                game = Player(data, base % "good", desktop_language=language, extra=extra)
                game.through_title()
                listed = open_list(game)
                check(listed[0][0] == "Slime Ranch", "English for %r: %r" % (language or extra, listed))
                game.finish()

        # The hostile servers: the list stays empty (the giant icon's index lists its games, the icon refused), in
        # bounded time and memory, and the game goes on.
        figures = []
        for case, expected in (("big", 0), ("bigstream", 0), ("slow", 0), ("malformed", 0), ("object", 0), ("deep", 0),
                               ("loop", 0), ("away", 0), ("missing", 0), ("huge", 2)):
            with tempfile.TemporaryDirectory() as data:
                game = Player(data, base % case)
                game.through_title()
                started = time.monotonic()
                listed = open_list(game)
                seconds = time.monotonic() - started
                check(len(listed) == expected, "%s: %r" % (case, listed))
                close_and_go_on(game)
                check(game.json_of("opened", "OPENED") == [], "%s: nothing opened" % case)
                memory = finish_measured(game)
                figures.append("%s %.1f s %d MiB" % (case, seconds, memory // 1024))
                check(seconds < 20 and memory < 400 * 1024, "%s: %.1f s, %d KiB" % (case, seconds, memory))
        print("hostile index cases (open to rows shown, peak memory of the game): " + "; ".join(figures))
    finally:
        server.stdin.close()
        server.wait(timeout=30)
