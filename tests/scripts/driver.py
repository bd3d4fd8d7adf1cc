#!/usr/bin/env python3
"""Shared support of the scenario scripts: the game played a command at a time over `--script -`, a saved state written
before the first start, the English texts, and the ways through the title, the opening story, an explore and the hints.
Run by itself (ctest does, with the source and build folders) it checks the script driver's answers to bad lines."""
import json
import os
import pathlib
import plistlib
import re
import shutil
import subprocess
import sys
import tempfile

EPOCH = 1800000000
TITLE_SWIPE = "swipe 40 323 290 323 25"  # one swipe along the title's row of five persons
TALL_TITLE_SWIPE = "swipe 40 411 290 411 25"  # the same on the 568-point screen, where the title sits 88 points lower
# Past the opening story and every hint: only what a scenario sets itself shows up.
QUIET = {"tutorialShown": True, "firstMainDone": True, "waitTutorialShown": True, "swipeTutorialShown": True,
         "exploreTutorial2Shown": True}


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def folders():
    """The source and build folders from the command line (as ctest passes them)."""
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    return source, sys.argv[2] if len(sys.argv) > 2 else os.path.join(source, "build")


def game_binary():
    binary = os.path.join(folders()[1], "royal-expedition")
    check(os.path.exists(binary), "no game binary at " + binary)
    return binary


_strings = {}


def english(key, *args):
    """The English text of a key, filled like the game fills its formats (%u, %d, %@, %1$@)."""
    if not _strings:
        with open(os.path.join(folders()[0], "resources", "strings", "en.lproj", "Localizable.strings"), "rb") as f:
            _strings.update(plistlib.load(f))
    text = _strings[key]
    if not args:
        return text
    # Positional forms (%2$@) take their argument by number.
    text = re.sub(r"%(\d+)\$@", lambda m: str(args[int(m.group(1)) - 1]).replace("%", "%%"), text)
    return text.replace("%@", "%s") % args if "%" in text.replace("%%", "") else text.replace("%%", "%")


def write_state(data_dir, values):
    """A saved state as the game stores it: one binary property list in the data folder (None values left out)."""
    with open(os.path.join(data_dir, "savedstate.plist"), "wb") as f:
        plistlib.dump({k: v for k, v in values.items() if v is not None}, f, fmt=plistlib.FMT_BINARY)


def write_store_purchases(data_dir, pending=(), purchased=(), next_id=1000000001):
    """The store's file as a launch finds it: approved purchases the game has not finished ([(transaction id, product id)],
    delivered again at the start, as after a game killed between the store's approval and its grant) and the products
    bought with the folder, which a restore delivers again."""
    with open(os.path.join(data_dir, "store-transactions.plist"), "wb") as f:
        plistlib.dump({"pending": [{"id": t, "product": p, "date": float(EPOCH)} for t, p in pending],
                       "purchased": list(dict.fromkeys(list(purchased) + [p for _, p in pending])), "nextId": next_id}, f,
                      fmt=plistlib.FMT_BINARY)


class Game:
    """One run of the game, played a command at a time. `now` follows the wall clock."""

    def __init__(self, data_dir, epoch=EPOCH, seed=7, state=None, extra=()):
        if state is not None:
            write_state(data_dir, state)
        self.now, self.marker = float(epoch), 0
        self.title_swipe = TALL_TITLE_SWIPE if "568" in extra else TITLE_SWIPE
        self.proc = self.launch([self.binary(), "--headless", "--data-dir", data_dir, "--epoch", str(epoch),
                                 "--seed", str(seed), "--lang", "en", *extra, "--script", "-"])

    # The benchmark harness overrides these three to run another binary and measure the process.
    def binary(self):
        return game_binary()

    def launch(self, command):
        return subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, bufsize=1)

    def errors(self):
        return self.proc.stderr.read()

    def send(self, command):
        """Runs one command and gives back the lines it printed."""
        self.marker += 1
        mark = "SYNC-%d" % self.marker
        self.proc.stdin.write(command + "\necho " + mark + "\n")
        self.proc.stdin.flush()
        lines = []
        while (line := self.proc.stdout.readline()) != mark + "\n":
            check(line, "the game stopped at %r: %s" % (command, "" if line else self.errors()))
            lines.append(line.rstrip("\n"))
        if command.split()[0] in ("wait", "clock"):
            self.now += float(command.split()[1])
        return lines

    def wait(self, seconds): self.send("wait %g" % seconds)
    def press(self, name): self.send("press " + name)
    def touch(self, view): self.send("touch %.1f %.1f" % (view["frame"][0] + view["frame"][2] / 2, view["frame"][1] + view["frame"][3] / 2))

    def json_of(self, command, prefix):
        found = [json.loads(line[len(prefix) + 1:]) for line in self.send(command) if line.startswith(prefix + " ")]
        check(found, "no %s line" % prefix)
        return found[0]

    def views(self): return self.json_of("views", "VIEWS")
    def state(self): return self.json_of("state", "STATE")
    def pages(self): return self.json_of("pages", "PAGES")
    def notifications(self): return self.json_of("notifications", "NOTIFICATIONS")
    def visible(self, name): return [v for v in self.views() if v["name"] == name]
    def persons(self): return [v for v in self.views() if v["name"].startswith("person")]
    def comebacks(self): return self.state().get("numComeback", 0)

    def text_of(self, name): return next((v.get("text") for v in self.visible(name)), None)
    def message(self): return self.text_of("msgLabel")  # the message box's text, None without one

    def finish(self):
        self.proc.stdin.close()
        code = self.proc.wait(timeout=60)
        check(code == 0, "the run ended with %d: %s" % (code, self.proc.stderr.read()))

    # ---- The ways through

    def through_title(self):
        """The logo pops in, one swipe collects all five persons and the title fades."""
        self.wait(2)
        self.send(self.title_swipe)
        self.wait(6)
        check(not self.visible("titleRoot"), "the title has gone")

    def through_story(self):
        """Next until the story can be closed; the number of next presses."""
        for presses in range(40):
            if self.visible("closeBtn"):
                self.press("closeBtn")
                self.wait(3)
                return presses
            if self.visible("nextBtn"):
                self.press("nextBtn")
            self.wait(1)
        raise AssertionError("the story never offered its close button")

    def dismiss_hints(self):
        """Message boxes that a touch closes (hints) are closed as a player would."""
        for _ in range(3):
            if not self.visible("hiddenBtn"):
                return
            self.press("hiddenBtn")
            self.wait(1)

    def ask_explore(self):
        """Presses explore; the text of the question."""
        self.dismiss_hints()
        self.press("exploreBtn")
        self.wait(1)
        check(self.visible("okBtn"), "the start message box asks")
        return self.message()

    def start_explore(self, walk=1.5):
        """Explore and OK; the stored start time once the party has walked off for `walk` seconds."""
        self.ask_explore()
        self.press("okBtn")
        self.wait(walk)
        start = self.state().get("timestamp_start", 0)
        check(start > 0, "the start time is stored")
        return start

    def suspend(self):
        """Suspend, which asks first, and OK: the party comes home empty-handed."""
        self.press("suspendBtn")
        self.wait(1)
        check(self.visible("okBtn"), "suspending asks first")
        self.press("okBtn")
        self.wait(4)

    def collect_all(self, rounds=8):
        """Touches every person holding something until the explore button is back."""
        for _ in range(rounds):
            if self.visible("exploreBtn"):
                return
            self.dismiss_hints()
            if self.visible("closeBtn") or self.visible("nextBtn"):
                self.through_story()
            for person in self.persons():
                self.touch(person)
            self.wait(4)
        check(self.visible("exploreBtn"), "the explore button returns after the last collection")


def on_main_screen(data_dir, epoch=EPOCH, **values):
    """A player past the story and every hint (`values` added to the saved state), on the main screen after the title."""
    game = Game(data_dir, epoch, state=dict(QUIET, **values))
    game.through_title()
    return game


def run(data_dir, script, epoch=EPOCH, extra=(), state=None, status=0, env=None):
    """A whole script at once; the printed values by their first word (JSON lines decoded), and the error stream."""
    if state is not None:
        write_state(data_dir, state)
    result = subprocess.run([game_binary(), "--headless", "--data-dir", data_dir, "--epoch", str(epoch), "--seed", "3", "--lang", "en",
                             *extra, "--script", "-"], input=script, capture_output=True, text=True, timeout=120, env=env)
    check(result.returncode == status, "status %d: %s" % (result.returncode, result.stderr))
    out = {"errors": result.stderr}
    for line in result.stdout.splitlines():
        word, _, rest = line.partition(" ")
        out.setdefault(word, []).append(json.loads(rest) if word in ("STATE", "NOTIFICATIONS", "PAGES", "VIEWS") else rest)
    return out


def main():
    """Bad lines: the line's number and reason on the error stream, status 2, nothing run after."""
    with tempfile.TemporaryDirectory() as data:
        # The build's resources with the explore button switched off in the layout.
        built, resources = os.path.join(folders()[1], "resources"), os.path.join(data, "resources")
        os.mkdir(resources)
        for entry in os.listdir(built):
            (shutil.copytree if entry == "layouts" else os.symlink)(os.path.join(built, entry), os.path.join(resources, entry))
        layout = pathlib.Path(resources, "layouts", "Main.json")
        layout.write_text(layout.read_text().replace('"action": "pressExplore"', '"action": "pressExplore", "enabled": false'))
        for script, expected, where in (
                ("echo hi\nfly 3\necho after\n", ("line 2", "fly"), built), ("wait -1\necho after\n", ("line 1", "from 0 to"), built),
                ("echo a\nswipe 1 2 3 4 1e6\n", ("line 2", "steps"), built), ("swipe 1 2 3 4 0\n", ("line 1", "steps"), built),
                ("press nosuchBtn\n", ("nosuchBtn",), built), ("wait 2\npress suspendBtn\n", ("line 2", "is hidden"), built),
                ("wait 2\npress exploreBtn\n", ("line 2", "covered by titleRoot"), built),
                ("wait 2\npress exploreBtn\n", ("line 2", "is disabled"), resources)):
            out = run(data, script, status=2, env=dict(os.environ, RE_RESOURCE_DIR=where))
            check(all(e in out["errors"] for e in expected) and "after" not in out, "%r: %r" % (script, out["errors"]))
        # A script file works as standard input does, comments and blank lines skipped.
        pathlib.Path(data, "play.txt").write_text("# the title\n\n  echo one  \nwait 0.5\necho two\n")
        ok = subprocess.run([game_binary(), "--headless", "--data-dir", data, "--script", os.path.join(data, "play.txt")],
                            capture_output=True, text=True, timeout=60)
        check(ok.returncode == 0 and ok.stdout.split("\n")[:2] == ["one", "two"], "script file: %r" % ok.stdout)


if __name__ == "__main__":
    main()
