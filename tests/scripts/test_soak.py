#!/usr/bin/env python3
"""Soak: a seeded player explores, waits, collects, buys and moves between dungeons for simulated days, while the game
is killed (SIGKILL) at random moments and started again on the same data folder, some hours later. After every start
the saved state must hold everything the player last saw saved (the state reported after going to the background,
or loaded at the previous start): hunts and gold earned never go back, a held yield becomes its hunt or stays held,
gold only goes where bought equipment shows it went, members, equipment and dungeon explores stay. Each start must
reach a state where the player can act.

The suite runs a short soak (30 kills); `make soak` runs the long one:
    test_soak.py SOURCE BUILD [--kills N] [--days D] [--seed S]"""
import argparse
import os
import plistlib
import random
import sys
import tempfile
import time

from driver import EPOCH, QUIET, Game, check, folders

DAY = 86400


def prices():
    with open(os.path.join(folders()[0], "resources", "tables", "equipments.plist"), "rb") as f:
        return {e["id"]: e["gold"] for e in plistlib.load(f)}


PRICES = prices()


def progress(state):
    """What the player can lose, by kind."""
    held = {}
    for key, value in state.items():
        if key.startswith("person_") and isinstance(value, dict) and value.get("yieldType") == 3:
            held[value.get("monsterId")] = held.get(value.get("monsterId"), 0) + 1
    hunted = {m["monster_id"]: m.get("times", 0) for m in state.get("monsters", []) if isinstance(m, dict)}
    return {
        "gold": state.get("gold", 0),
        "totalGold": state.get("totalGold", 0),
        "totalMonster": state.get("totalMonster", 0),
        "monsters": {m: hunted.get(m, 0) + held.get(m, 0) for m in set(hunted) | set(held)},  # a held yield counts
        "equip": {int(k[6:]) for k in state if k.startswith("equip_")},
        "members": {k for k in state if k.startswith("member_")},
        "explores": {k: v.get("explore_cnt", 0) for k, v in state.items() if k.startswith("dungeon_") and isinstance(v, dict)},
    }


def went_back(saved, now):
    """The ways `now` (a fresh start's state) lost what `saved` held; empty when nothing was lost."""
    a, b = progress(saved), progress(now)
    lost = []
    for key in ("totalGold", "totalMonster"):
        if b[key] < a[key]:
            lost.append("%s %d -> %d" % (key, a[key], b[key]))
    for monster, times in a["monsters"].items():
        if b["monsters"].get(monster, 0) < times:
            lost.append("monster %s %d -> %d" % (monster, times, b["monsters"].get(monster, 0)))
    for kind in ("equip", "members"):
        if not a[kind] <= b[kind]:
            lost.append("%s lost %r" % (kind, sorted(a[kind] - b[kind])))
    for dungeon, count in a["explores"].items():
        if b["explores"].get(dungeon, 0) < count:
            lost.append("%s explores %d -> %d" % (dungeon, count, b["explores"].get(dungeon, 0)))
    spent = sum(PRICES.get(e, 0) for e in b["equip"] - a["equip"])
    if b["gold"] + spent < a["gold"]:
        lost.append("gold %d -> %d (%d spent on new equipment)" % (a["gold"], b["gold"], spent))
    return lost


class Player:
    """Plays one game process; every command may be the last (the process is killed under it)."""

    def __init__(self, rng, data, now, first):
        self.rng, self.data = rng, data
        self.game = Game(data, int(now), seed=rng.randrange(1 << 30), state=dict(QUIET) if first else None)
        self.loaded = self.game.state()  # before the title: what the file held

    def front(self):
        """The names a press may reach: the views in front of the first full-screen root."""
        names = []
        for view in self.game.views():
            names.append(view["name"])
            if view["name"].endswith("Root") or view["name"] in ("root", "alertView"):
                break
        return names

    def can_act(self, seconds=120):
        """Within `seconds` of game time the player has something to press: explore, suspend or a person to collect."""
        for _ in range(int(seconds / 4)):
            names = self.front()
            if {"exploreBtn", "suspendBtn"} & set(names) or any(n.startswith("person") for n in names):
                return True
            self.settle(names)
            self.game.wait(4)
        return False

    def settle(self, names):
        """Closes what asks for an answer: alerts, hints, the story, the store's sheet."""
        for button in ("alertBtn0", "storeCancelBtn", "hiddenBtn", "nextBtn"):
            if button in names:
                self.game.wait(0.5)
                self.game.press(button)
                self.game.wait(1)
                return True
        return False

    def step_commands(self):
        """One seeded choice among what the screen offers, as the commands that play it."""
        rng, names = self.rng, self.front()
        rows = sorted({int(n.split(".")[1][3:]) for n in names if n.startswith("myTableView.row")})
        persons = [n for n in names if n.startswith("person")]
        choices = [(1, ["wait %d" % rng.choice((5, 30, 120, 600, 3600))]), (1, ["background", "activate"])]
        if "alertBtn0" in names or "hiddenBtn" in names or "storeCancelBtn" in names or "nextBtn" in names:
            return None  # settle first
        if "okBtn" in names:
            choices.append((6, ["press okBtn", "wait 2"]))
        if "cancelBtn" in names:
            choices.append((2, ["press cancelBtn", "wait 1"]))
        if rows:
            choices.append((4, ["select myTableView %d" % rng.choice(rows), "wait 1"]))
        if "closeBtn" in names:
            choices.append((2, ["press closeBtn", "wait 2"]))
        if "exploreBtn" in names:
            choices.append((6, ["press exploreBtn", "wait 1"]))
        for menu in ("menuBtn1", "menuBtn2"):
            if menu in names and "exploreBtn" in names:
                choices.append((2, ["press " + menu, "wait 2"]))
        if "suspendBtn" in names:
            choices.append((4, ["wait %d" % rng.choice((60, 600, 1800))]))
            choices.append((0.3, ["press suspendBtn", "wait 1"]))
        if persons and "suspendBtn" not in names:
            picked = rng.sample(persons, min(len(persons), rng.randint(1, 6)))
            touches = []
            for view in self.game.views():
                if view["name"] in picked:
                    x, y, w, h = view["frame"]
                    touches.append("touch %.1f %.1f" % (x + w / 2, y + h / 2))
            choices.append((6, touches + ["wait 3"]))
        total = sum(w for w, _ in choices)
        pick = rng.uniform(0, total)
        for weight, commands in choices:
            pick -= weight
            if pick <= 0:
                return commands
        return choices[-1][1]


def check_the_checker():
    """The losses of a kill between the writes of a collection are seen: a held monster cleared without its hunt."""
    saved = {"gold": 50, "totalGold": 90, "totalMonster": 3, "monsters": [{"monster_id": 5, "times": 3}],
             "person_4": {"person_id": 4, "yieldType": 3, "monsterId": 5}}
    collected = dict(saved, totalMonster=4, monsters=[{"monster_id": 5, "times": 4}], person_4={"person_id": 4, "yieldType": 0})
    check(not went_back(saved, collected), "a collection loses nothing")
    check(went_back(saved, dict(saved, person_4={"person_id": 4, "yieldType": 0})), "a cleared yield without its hunt is a loss")
    check(went_back(saved, dict(saved, gold=20, equip_1={})) == [] and went_back(saved, dict(saved, gold=20)), "gold only goes to equipment")


def soak(kills_wanted, days, seed):
    rng = random.Random(seed)
    started = time.time()
    found, refused, kills, restarts, checkpoints = [], 0, 0, 0, 0
    now = float(EPOCH)
    with tempfile.TemporaryDirectory() as data:
        saved = {}
        player = Player(rng, data, now, first=True)
        player.game.through_title()
        while kills < kills_wanted or now - EPOCH < days * DAY:
            game = player.game
            killed_at = None
            try:
                names = player.front()
                if player.settle(names):
                    continue
                commands = player.step_commands()
                if commands is None:
                    continue
                if rng.random() < 0.125:
                    # Killed while the step runs: the commands go out and the process dies a few milliseconds in.
                    game.proc.stdin.write("\n".join(commands) + "\nwait %d\n" % rng.choice((1, 2, 30)))
                    game.proc.stdin.flush()
                    time.sleep(rng.uniform(0, 0.03))
                    game.proc.kill()
                    killed_at = " / ".join(commands)
                    kills += 1
                else:
                    for command in commands:
                        game.send(command)
                        if command == "background":
                            saved = game.state()  # the game has saved: what the player last saw saved
                            checkpoints += 1
            except AssertionError as stopped:  # a press the game refused ends the run (status 2): start again
                code = game.proc.wait(timeout=30)
                if code != 2:
                    found.append("the game ended with %s: %s" % (code, stopped))
                refused += 1
            now = max(now, game.now)
            if killed_at is None and game.proc.poll() is None:
                continue
            now += rng.choice((0, 60, 600, 3600, 3 * 3600, 9 * 3600))  # the game stays closed a while
            game.proc.wait(timeout=30)
            for stream in (game.proc.stdin, game.proc.stdout, game.proc.stderr):
                try:
                    stream.close()
                except OSError:
                    pass  # the pipe to a killed game
            restarts += 1
            player = Player(rng, data, now, first=False)
            lost = went_back(saved, player.loaded)
            if lost:
                found.append("restart %d (after %s): %s" % (restarts, killed_at or "a refused press", "; ".join(lost)))
            saved = player.loaded
            checkpoints += 1
            player.game.through_title()
            if not player.can_act():
                found.append("restart %d: nothing to press within two minutes" % restarts)
        player.game.proc.kill()
        player.game.proc.wait()
    days_played = (now - EPOCH) / DAY
    final = progress(saved)
    print("FIGURE soak seed %d: %d kills, %d restarts (%d after refused presses), %.1f simulated days, %d checkpoints, "
          "%.0f s; at the end %d gold earned, %d monsters hunted, %d equipment, %d dungeon explores"
          % (seed, kills, restarts, refused, days_played, checkpoints, time.time() - started, final["totalGold"],
             final["totalMonster"], len(final["equip"]), sum(final["explores"].values())))
    for finding in found:
        print("FOUND", finding)
    check(not found, "%d findings" % len(found))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("source", nargs="?")
    parser.add_argument("build", nargs="?")
    parser.add_argument("--kills", type=int, default=30)
    parser.add_argument("--days", type=float, default=0)
    parser.add_argument("--seed", type=int, default=17)
    args = parser.parse_args()
    sys.argv = [sys.argv[0]] + [a for a in (args.source, args.build) if a]
    check_the_checker()
    soak(args.kills, args.days, args.seed)
