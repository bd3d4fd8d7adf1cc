#!/usr/bin/env python3
"""Shared helpers of the scenario scripts: the game played step by step over `--script -`, a saved
state written before the first start, the English texts, and the ways through the title, the
opening story, an explore and the hints.

Run by itself (ctest does, with the source and build folders) it checks the script driver's own
answers to bad lines."""
import json
import os
import plistlib
import subprocess
import sys
import tempfile

EPOCH = 1800000000
# One swipe along the title's row of five persons.
TITLE_SWIPE = "swipe 40 323 290 323 25"


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def centre(view):
    x, y, w, h = view["frame"]
    return x + w / 2, y + h / 2


def folders():
    """The source and build folders from the command line (as ctest passes them)."""
    here = os.path.dirname(os.path.abspath(__file__))
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..")
    build = sys.argv[2] if len(sys.argv) > 2 else os.path.join(source, "build")
    return source, build


def game_binary():
    binary = os.path.join(folders()[1], "royal-expedition")
    check(os.path.exists(binary), "no game binary at " + binary)
    return binary


_strings = {}


def english(key, *args):
    """The English text of a key, filled like the game fills its formats (%u, %d, %@)."""
    if not _strings:
        path = os.path.join(folders()[0], "resources", "strings", "en.lproj", "Localizable.strings")
        with open(path, "rb") as f:
            _strings.update(plistlib.load(f))
    text = _strings[key]
    return text.replace("%@", "%s") % args if args else text


def write_state(data_dir, values):
    """A saved state as the game stores it: one binary property list in the data folder."""
    with open(os.path.join(data_dir, "savedstate.plist"), "wb") as f:
        plistlib.dump(values, f, fmt=plistlib.FMT_BINARY)


# Past the opening story and every hint: only what a scenario sets itself shows up.
QUIET = {"tutorialShown": True, "firstMainDone": True, "waitTutorialShown": True, "swipeTutorialShown": True,
         "exploreTutorial2Shown": True}


class Game:
    """One run of the game, played a command at a time. `now` follows the wall clock."""

    def __init__(self, data_dir, epoch=EPOCH, seed=7, state=None, extra=()):
        if state is not None:
            write_state(data_dir, state)
        self.now = float(epoch)
        self.proc = self.launch([self.binary(), "--headless", "--data-dir", data_dir, "--epoch", str(epoch),
                                 "--seed", str(seed), "--lang", "en", *extra, "--script", "-"])
        self.marker = 0

    # The benchmark harness overrides these three to run another binary and measure the process.
    def binary(self):
        return game_binary()

    def launch(self, command):
        return subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True, bufsize=1)

    def errors(self):
        return self.proc.stderr.read()

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
                raise AssertionError("the game stopped at %r: %s" % (command, self.errors()))
            line = line.rstrip("\n")
            if line == mark:
                break
            lines.append(line)
        words = command.split()
        if words[0] in ("wait", "clock"):
            self.now += float(words[1])
        return lines

    def wait(self, seconds):
        self.send("wait %g" % seconds)

    def press(self, name):
        self.send("press " + name)

    def json_of(self, command, prefix):
        for line in self.send(command):
            if line.startswith(prefix + " "):
                return json.loads(line[len(prefix) + 1:])
        raise AssertionError("no %s line" % prefix)

    def views(self):
        return self.json_of("views", "VIEWS")

    def state(self):
        return self.json_of("state", "STATE")

    def pages(self):
        return self.json_of("pages", "PAGES")

    def notifications(self):
        return self.json_of("notifications", "NOTIFICATIONS")

    def visible(self, name):
        return [v for v in self.views() if v["name"] == name]

    def text_of(self, name):
        found = self.visible(name)
        return found[0].get("text") if found else None

    def message(self):
        """The text of the message box on screen, None when there is none."""
        return self.text_of("msgLabel")

    def persons(self):
        return [v for v in self.views() if v["name"].startswith("person")]

    def comebacks(self):
        return self.state().get("numComeback", 0)

    def finish(self):
        self.proc.stdin.close()
        code = self.proc.wait(timeout=60)
        err = self.proc.stderr.read()
        check(code == 0, "the run ended with %d: %s" % (code, err))

    # ---- The ways through

    def through_title(self):
        """The logo pops in, one swipe collects all five persons and the title fades."""
        self.wait(2)
        self.send(TITLE_SWIPE)
        self.wait(6)
        check(not self.visible("titleRoot"), "the title has gone")

    def through_story(self):
        """Next until the story can be closed; the number of next presses."""
        presses = 0
        for _ in range(40):
            if self.visible("closeBtn"):
                self.press("closeBtn")
                self.wait(3)
                return presses
            if self.visible("nextBtn"):
                self.press("nextBtn")
                presses += 1
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

    def collect_all(self, rounds=8):
        """Touches every person holding something until the explore button is back."""
        for _ in range(rounds):
            if self.visible("exploreBtn"):
                return
            self.dismiss_hints()
            if self.visible("closeBtn") or self.visible("nextBtn"):
                self.through_story()
            for person in self.persons():
                self.send("touch %.1f %.1f" % centre(person))
            self.wait(4)
        check(self.visible("exploreBtn"), "the explore button returns after the last collection")


def run(data_dir, script, epoch=EPOCH, extra=(), state=None):
    """A whole script at once; the printed values by their first word (JSON lines decoded)."""
    if state is not None:
        write_state(data_dir, state)
    result = subprocess.run([game_binary(), "--headless", "--data-dir", data_dir, "--epoch", str(epoch), "--seed", "3",
                             "--lang", "en", *extra, "--script", "-"], input=script, capture_output=True, text=True,
                            timeout=120)
    check(result.returncode == 0, "status %d: %s" % (result.returncode, result.stderr))
    out = {}
    for line in result.stdout.splitlines():
        word, _, rest = line.partition(" ")
        out.setdefault(word, []).append(json.loads(rest) if word in ("STATE", "NOTIFICATIONS", "PAGES", "VIEWS") else rest)
    return out


def main():
    """Bad lines: the line's number and reason on the error stream, status 2, nothing run after."""
    with tempfile.TemporaryDirectory() as data:
        for script, expected in (("echo hi\nfly 3\necho after\n", ("line 2", "fly")), ("wait -1\n", ("line 1", "0 or more")),
                                 ("echo a\nswipe 1 2 3 4 1e6\n", ("line 2", "steps")), ("press nosuchBtn\n", ("nosuchBtn",)),
                                 # The title stands in front of the main screen: no finger reaches explore.
                                 ("wait 2\npress exploreBtn\n", ("line 2", "covered by titleRoot"))):
            bad = subprocess.run([game_binary(), "--headless", "--data-dir", data, "--script", "-"], input=script,
                                 capture_output=True, text=True, timeout=60)
            check(bad.returncode == 2 and all(e in bad.stderr for e in expected), "%r: %r" % (script, bad.stderr))
            check("after" not in bad.stdout, "nothing runs after a bad line")
        # A script file works as standard input does, comments and blank lines skipped.
        path = os.path.join(data, "play.txt")
        with open(path, "w") as f:
            f.write("# the title\n\n  echo one  \nwait 0.5\necho two\n")
        ok = subprocess.run([game_binary(), "--headless", "--data-dir", data, "--script", path], capture_output=True,
                            text=True, timeout=60)
        check(ok.returncode == 0 and ok.stdout.split("\n")[:2] == ["one", "two"], "script file: %r" % ok.stdout)
    print("script driver: ok")


if __name__ == "__main__":
    main()
