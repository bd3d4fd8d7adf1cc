#!/usr/bin/env python3
"""A fresh start played through the script driver, step by step over `--script -`: the title's
five persons, the opening story, the first explore of the first dungeon and its collection; then
the saved state is checked, and a second run on the same data directory finds it again after
`terminate`.

Arguments: the source folder and the build folder (as ctest passes them)."""
import json
import os
import subprocess
import sys
import tempfile

EPOCH = 1800000000


class Game:
    def __init__(self, binary, data_dir, epoch, seed=7):
        self.proc = subprocess.Popen(
            [binary, "--headless", "--data-dir", data_dir, "--epoch", str(epoch), "--seed", str(seed),
             "--lang", "en", "--script", "-"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, bufsize=1)
        self.marker = 0

    def send(self, command):
        """Runs one command and gives back the lines it printed."""
        self.marker += 1
        mark = "SYNC-%d" % self.marker
        self.proc.stdin.write(command + "\necho " + mark + "\n")
        self.proc.stdin.flush()
        lines = []
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise AssertionError("the game stopped at %r: %s" % (command, self.proc.stderr.read()))
            line = line.rstrip("\n")
            if line == mark:
                return lines
            lines.append(line)

    def json_of(self, command, prefix):
        for line in self.send(command):
            if line.startswith(prefix + " "):
                return json.loads(line[len(prefix) + 1:])
        raise AssertionError("no %s line" % prefix)

    def views(self):
        return self.json_of("views", "VIEWS")

    def state(self):
        return self.json_of("state", "STATE")

    def visible(self, name):
        return [v for v in self.views() if v["name"] == name]

    def finish(self):
        self.proc.stdin.close()
        code = self.proc.wait(timeout=60)
        return code, self.proc.stderr.read()


def centre(view):
    x, y, w, h = view["frame"]
    return x + w / 2, y + h / 2


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def main():
    build = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), "..", "..", "build")
    binary = os.path.join(build, "royal-expedition")
    check(os.path.exists(binary), "no game binary at " + binary)
    with tempfile.TemporaryDirectory() as data:
        game = Game(binary, data, EPOCH)
        # The logo pops in, then the five persons stand in a row.
        game.send("wait 2")
        views = game.views()
        names = [v["name"] for v in views]
        check("titleRoot" in names, "the title is on screen")
        # Front to back: what comes before the title's root is on the title.
        persons = [v for v in views[:names.index("titleRoot")] if v["class"] == "PersonView"]
        check(len(persons) == 5, "the title shows five persons: %r" % persons)
        pages = game.json_of("pages", "PAGES")
        check("/FIRST_TITLE" in pages and pages.index("/FIRST_TITLE") + 1 == pages.index("/TITLE"), "title page views: %r" % pages)
        # One swipe over all five starts every collect; the title closes after the last.
        game.send("swipe 40 323 290 323 25")
        game.send("wait 6")
        check(not [v for v in game.views() if v["name"] == "titleRoot"], "the title has gone")
        state = game.state()
        check(state.get("tutorialShown") is True, "the opening story was started")
        # The opening story: next until it can be closed.
        for _ in range(40):
            if game.visible("closeBtn"):
                game.send("press closeBtn")
                break
            if game.visible("nextBtn"):
                game.send("press nextBtn")
            game.send("wait 1")
        else:
            raise AssertionError("the story never offered its close button")
        game.send("wait 3")
        check(game.visible("exploreBtn"), "the explore button is back")
        # The first explore: press, OK, every person walks off and back.
        game.send("press exploreBtn")
        game.send("wait 1")
        check(game.visible("okBtn"), "the start message box asks")
        game.send("press okBtn")
        game.send("wait 2")
        check(game.state().get("timestamp_start", 0) > 0, "the start time is stored")
        notes = game.json_of("notifications", "NOTIFICATIONS")
        check(notes, "notifications are scheduled at the start")
        game.send("wait 40")
        check("timestamp_start" not in game.state(), "all are back")
        # Collect every person that holds something, touching each at its centre.
        for _ in range(6):
            # The first collection explains itself in a message box that a touch closes.
            if game.visible("hiddenBtn"):
                game.send("press hiddenBtn")
                game.send("wait 1")
            for person in [v for v in game.views() if v["name"].startswith("person")]:
                game.send("touch %.1f %.1f" % centre(person))
            game.send("wait 4")
            if game.visible("exploreBtn"):
                break
        check(game.visible("exploreBtn"), "the explore button returns after the last collection")
        state = game.state()
        check(state.get("gold", 0) > 0, "gold was earned: %r" % state.get("gold"))
        monsters = state.get("monsters")
        check(isinstance(monsters, (dict, list)) and len(monsters) > 0, "monster records: %r" % monsters)
        dungeon = state.get("dungeon_1")
        check(isinstance(dungeon, dict) and any(isinstance(v, int) and v >= 20 for v in dungeon.values()),
              "dungeon 1 counts the explores: %r" % dungeon)
        check("timestamp_start" not in state, "no start time after the explore")
        gold = state["gold"]
        game.send("background")
        reminders = [n for n in game.json_of("notifications", "NOTIFICATIONS") if n.get("userInfo")]
        check(len(reminders) == 1 and abs(reminders[0]["fireDate"] - (EPOCH + 259200)) < 600, "the three-day reminder")
        game.send("activate")
        check(not [n for n in game.json_of("notifications", "NOTIFICATIONS") if n.get("userInfo")], "activation cancels it")
        # terminate ends the run: nothing after it is read.
        game.proc.stdin.write("terminate\necho after\n")
        code, err = game.finish()
        check(game.proc.stdout.read() == "", "nothing runs after terminate")
        check(code == 0, "clean exit: %d %s" % (code, err))

        # A later cold start finds the gold.
        again = Game(binary, data, EPOCH + 3600)
        check(again.state().get("gold") == gold, "the saved gold is read again")
        code, err = again.finish()
        check(code == 0, "second run: %d %s" % (code, err))

        # A bad line: its number and reason, status 2.
        bad = subprocess.run([binary, "--headless", "--data-dir", data, "--script", "-"], input="echo hi\nfly 3\n",
                             capture_output=True, text=True, timeout=60)
        check(bad.returncode == 2 and "line 2" in bad.stderr and "fly" in bad.stderr, "bad line: %r" % bad.stderr)
        bad = subprocess.run([binary, "--headless", "--data-dir", data, "--script", "-"], input="wait x\n",
                             capture_output=True, text=True, timeout=60)
        check(bad.returncode == 2 and "line 1" in bad.stderr, "bad number: %r" % bad.stderr)
        bad = subprocess.run([binary, "--headless", "--data-dir", data, "--script", "-"], input="press nosuchBtn\n",
                             capture_output=True, text=True, timeout=60)
        check(bad.returncode == 2 and "nosuchBtn" in bad.stderr, "missing button: %r" % bad.stderr)
    print("first explore: ok")


if __name__ == "__main__":
    main()
