#!/usr/bin/env python3
"""The pace of the game, as the game's own bot plays it, checked against the target.

`royal-expedition --simulate` plays the real game headless as a casual, an hourly and an eager
player; this script runs it for the three, checks the target below and writes docs/PACING.md
with the tables and docs/pacing-<player>.json beside it. It is the one source of truth for the
pace: after changing tools/content/content_data.py, regenerate the tables, rebuild and run it.

The target:
  * a casual player sees the first boss within 15 minutes;
  * the first ending within 2 to 6 days, the second within 2 to 4 weeks;
  * an eager player gets everything in about half that time: the second ending and the full
    book in 25 % to 70 % of the casual times, the first ending in at most 70 %; an hourly
    player in between;
  * no dungeon is a wall where a casual player earns nothing new (a monster for the book, a
    piece of equipment, a dungeon) for more than a day;
  * every player reaches both endings and the full book.

Usage: python3 tools/content/pacing.py [build_dir] [--seed S] [--check]
  --check   only play and check (exit 1 with the faults), write nothing
"""
import json
import os
import subprocess
import sys
import tempfile

PLAYERS = ("casual", "hourly", "eager")
DAY = 86400
FIRST_BOSS_LIMIT = 15 * 60
FIRST_ENDING = (2 * DAY, 6 * DAY)
SECOND_ENDING = (14 * DAY, 28 * DAY)
EAGER_SHARE = (0.25, 0.7)
LONGEST_WITHOUT_NEWS = DAY
SEED = 1


def simulate(binary, player, seed=SEED, days=None, data_dir=None, env=None, timeout=120):
    """One run of the bot; its record (the JSON report) and its printed table."""
    with tempfile.TemporaryDirectory() as scratch:
        report = os.path.join(scratch, "report.json")
        command = [binary, "--simulate", "--player", player, "--seed", str(seed), "--report", report]
        if days:
            command += ["--days", str(days)]
        if data_dir:
            command += ["--data-dir", data_dir]
        result = subprocess.run(command, capture_output=True, text=True, timeout=timeout, env=env)
        if result.returncode != 0:
            raise RuntimeError("the %s player's run ended with %d: %s" % (player, result.returncode, result.stderr))
        with open(report, encoding="utf-8") as f:
            return json.load(f), result.stdout


def walls(record, limit=LONGEST_WITHOUT_NEWS):
    """The dungeons where the player went longer than `limit` without anything new."""
    return [d for d in record["dungeons"] if d["longestWithoutNews"] > limit]


def check_run(record, whole=True):
    """The faults of one player's run against the target; a shortened run (whole=False) is only
    held to what it reached."""
    faults = []
    name = record["player"]
    first_boss = record["dungeons"][0]["boss"]
    if name == "casual" and (first_boss is None or first_boss > FIRST_BOSS_LIMIT):
        faults.append("casual: the first boss after %s, not within 15 minutes" % fmt(first_boss))
    if name == "casual":
        for d in walls(record):
            faults.append("casual: %s is a wall, %s without anything new" % (d["name"], fmt(d["longestWithoutNews"])))
    reached = [d for d in record["dungeons"] if d["firstExplore"] is not None]
    for before, after in zip(reached, reached[1:]):
        if before["boss"] is None or after["firstExplore"] < before["boss"]:
            faults.append("%s: %s explored before %s was cleared" % (name, after["name"], before["name"]))
    if whole:
        for key in ("firstEnding", "secondEnding", "fullBook"):
            if record[key] is None:
                faults.append("%s: no %s" % (name, key))
        if name == "casual":
            for key, (low, high) in (("firstEnding", FIRST_ENDING), ("secondEnding", SECOND_ENDING)):
                if record[key] is not None and not low <= record[key] <= high:
                    faults.append("casual: %s after %s, not within %s to %s" % (key, fmt(record[key]), fmt(low), fmt(high)))
    return faults


def check_target(records):
    """The faults of the three players' runs against the target (an empty list when it is met)."""
    faults = [f for r in records.values() for f in check_run(r)]
    casual, eager, hourly = records["casual"], records["eager"], records["hourly"]
    for key in ("firstEnding", "secondEnding", "fullBook"):
        if None in (casual[key], eager[key], hourly[key]):
            continue
        share = eager[key] / casual[key]
        low = EAGER_SHARE[0] if key != "firstEnding" else 0
        if not low <= share <= EAGER_SHARE[1]:
            faults.append("eager: %s after %.0f %% of the casual time, not about half" % (key, share * 100))
        if not eager[key] <= hourly[key] <= casual[key]:
            faults.append("hourly: %s after %s, not between eager and casual" % (key, fmt(hourly[key])))
    return faults


def fmt(seconds):
    if seconds is None:
        return "-"
    s = int(round(seconds))
    if s < 3600:
        return "%d min" % (s // 60) if s >= 600 else "%d min %02d s" % (s // 60, s % 60)
    if s < DAY:
        return "%d h %02d" % (s // 3600, s % 3600 // 60)
    return "%d d %02d h" % (s // DAY, s % DAY // 3600)


def markdown(records, faults):
    out = ["# Pacing", "",
           "The pace is measured by the game itself: `royal-expedition --simulate` plays the real game headless (the",
           "script driver pressing the real screens, the real saved state in a folder of its own, the manual clock jumping",
           "from one visit to the next) as three kinds of player. `tools/content/pacing.py` runs it for the three, checks",
           "the target below and writes this page and its figures, `docs/pacing-<player>.json`. Run it after changing",
           "`tools/content/content_data.py` (and `generate.py`, and a build).", "",
           "## The players", "",
           "Nobody plays between 23:00 and 07:00; the game starts at 08:00 on day 1. At every visit the player collects",
           "everything, buys the gear the monsters ask for (cheapest first, saving for the next piece), then the bonus",
           "items sold for gold (never the store's), moves to the newest open dungeon (after the second ending, to the",
           "newest one with a monster still missing from the book), reads every story to its end and starts an explore.",
           "An explore that ends within the visit is waited for.", "",
           "- **casual**: three visits a day at irregular hours (07:00-10:00, 12:00-15:00, 18:00-22:00), 15 minutes each;",
           "- **hourly**: a visit every hour from 07:00 to 22:00, 5 minutes each;",
           "- **eager**: back whenever a notification says a person or the party is home.", "",
           "## The target", "",
           "- a casual player sees the first boss within 15 minutes;",
           "- the first ending within 2 to 6 days, the second within 2 to 4 weeks;",
           "- an eager player gets everything in about half that time: the second ending and the full book in 25 % to",
           "  70 % of the casual times, the first ending in at most 70 %; an hourly player in between;",
           "- no dungeon is a wall where a casual player earns nothing new (a monster for the book, a piece of",
           "  equipment, a dungeon) for more than a day;",
           "- every player reaches both endings and the full book.", "",
           "Met: **%s**." % ("yes" if not faults else "no: " + "; ".join(faults)), "",
           "The eager player's shares of the casual times: first ending %s, second ending %s, full book %s." % tuple(
               share(records, k) for k in ("firstEnding", "secondEnding", "fullBook")), "",
           "## Seed %d" % records["casual"]["seed"], "",
           "Times since the first start (d = days, h = hours).", "",
           "| Dungeon | " + " | ".join("%s: first explore / boss" % p for p in PLAYERS) + " | casual: explores / deaths | casual: longest without news |",
           "|---|" + "---|" * (len(PLAYERS) + 2)]
    for i, d in enumerate(records["casual"]["dungeons"]):
        cells = ["%s / %s" % (fmt(records[p]["dungeons"][i]["firstExplore"]), fmt(records[p]["dungeons"][i]["boss"])) for p in PLAYERS]
        out.append("| %d. %s | %s | %d / %d | %s |" % (d["id"], d["name"], " | ".join(cells), d["explores"], d["deaths"],
                                                     fmt(d["longestWithoutNews"])))
    out += ["", "| | " + " | ".join(PLAYERS) + " |", "|---|" + "---|" * len(PLAYERS)]
    rows = (("First ending", lambda r: fmt(r["firstEnding"])), ("Second ending", lambda r: fmt(r["secondEnding"])),
            ("Full book", lambda r: fmt(r["fullBook"])), ("Visits", lambda r: str(r["visits"])),
            ("Gold earned / spent", lambda r: "{:,} / {:,}".format(r["goldEarned"], r["goldSpent"])),
            ("Deaths", lambda r: str(sum(d["deaths"] for d in r["dungeons"]))),
            ("Pieces of equipment bought", lambda r: str(len(r["equipment"]))),
            ("Book after 1 / 3 / 7 days", lambda r: " / ".join(str(book_at(r, t)) for t in (DAY, 3 * DAY, 7 * DAY))))
    for label, cell in rows:
        out.append("| %s | %s |" % (label, " | ".join(cell(records[p]) for p in PLAYERS)))
    out += ["", "The casual player's equipment, in the order bought:", ""]
    out.append(", ".join("%s (%s G, %s)" % (e["name"], "{:,}".format(e["price"]), fmt(e["time"])) for e in records["casual"]["equipment"]) + ".")
    out.append("")
    return "\n".join(out)


def share(records, key):
    casual, eager = records["casual"][key], records["eager"][key]
    return "%.0f %%" % (100.0 * eager / casual) if casual and eager else "-"


def book_at(record, t):
    count = 0
    for when, hunted in record["book"]:
        if when <= t:
            count = hunted
    return count


def main():
    args = sys.argv[1:]
    seed = SEED
    if "--seed" in args:
        i = args.index("--seed")
        seed = int(args[i + 1])
        del args[i:i + 2]
    only_check = "--check" in args
    args = [a for a in args if a != "--check"]
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    build = args[0] if args else os.path.join(source, "build")
    records = {p: simulate(os.path.join(build, "royal-expedition"), p, seed)[0] for p in PLAYERS}
    faults = check_target(records)
    if not only_check:
        for p in PLAYERS:
            with open(os.path.join(source, "docs", "pacing-%s.json" % p), "w", encoding="utf-8") as f:
                json.dump(records[p], f, indent=1)
                f.write("\n")
        with open(os.path.join(source, "docs", "PACING.md"), "w", encoding="utf-8") as f:
            f.write(markdown(records, faults))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
