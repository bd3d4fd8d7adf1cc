#!/usr/bin/env python3
"""Simulates a casual player through the ten dungeons and writes docs/PACING.md.

The simulation follows the game's rules: person k of an explore returns at
start + k x interval; the monster is drawn from the dungeon's list with the
per-mille bands and the new-monster admission limit (1 + explores / 20); the
boss comes once the dungeon's depth is reached, at most once per explore time;
a person wins only when the party owns every piece of gear the monster asks
for; gold is added at collection with the gold rate (rounded up as the gold
manager does); speed items shorten the interval.

The casual player: a party of 20 (no post bonus, nothing from the store),
five short visits a day (07:30, 12:15, 17:30, 20:00, 22:30) of fifteen
minutes each. During a visit the player collects, buys what the next fights
need (bonus items only once every listed piece of gear is owned), and starts
the next explore in the newest dungeon; explores that end within the visit
are waited for, longer ones run until a later visit.

Usage: python3 tools/content/pacing.py [source_dir] [--runs N] [--print]
"""
import math
import os
import plistlib
import random
import statistics
import struct
import sys

PARTY = 20
INTERVALS = {1: 1, 2: 6, 3: 15, 4: 30, 5: 90, 6: 180, 7: 360, 8: 540, 9: 720, 10: 1080}
VISITS = [7.5, 12.25, 17.5, 20.0, 22.5]  # hours of the day
VISIT_LENGTH = 15 * 60
COLLECT_SECONDS = 25
START_SECONDS = 10
DAY = 86400


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def band(rate):
    """Width of a rate's per-mille band, computed in single precision."""
    w = f32(f32(rate) * f32(1000.0))
    return max(0, int(w))


def add_gold(amount, gold_rate):
    g = f32(float(amount))
    if gold_rate > 1.0:
        g = f32(g * f32(gold_rate))
        frac = f32(g - f32(float(int(g))))
        if frac > 0.01:
            g = float(math.ceil(g))
    return int(g)


class Tables:
    def __init__(self, source):
        tables = os.path.join(source, "resources", "tables")

        def load(name):
            with open(os.path.join(tables, name + ".plist"), "rb") as f:
                return plistlib.load(f)

        self.monsters = {m["id"]: m for m in load("monsters")}
        self.dungeons = load("dungeons")
        self.lists = {l["dungeon_id"]: l["monsters"] for l in load("dungeon_monsters")}
        self.equipments = load("equipments")
        self.equip_by_id = {e["id"]: e for e in self.equipments}

    def reqs(self, monster_id):
        m = self.monsters[monster_id]
        return [m[k] for k in ("req_equip1", "req_equip2", "req_equip3") if m.get(k, 0)]


class Player:
    def __init__(self, tables, rng):
        self.t = tables
        self.rng = rng
        self.gold = 0
        self.owned = set()
        self.hunts = {}
        self.explore_cnt = {}
        self.timestamp_boss = 0.0
        self.log = []  # per explore: (dungeon, start, end, gold gained)

    # --- rules -----------------------------------------------------------
    def unlocked(self, dungeon_id):
        if dungeon_id < 2:
            return True
        boss = self.t.dungeons[dungeon_id - 2]["boss_id"]
        return self.hunts.get(boss, 0) > 0

    def latest(self):
        d = 1
        while d < len(self.t.dungeons) and self.unlocked(d + 1):
            d += 1
        return d

    def rates(self):
        gold, speed = 1.0, 1.0
        for e in self.t.equipments:
            if e["type"] == 1 and e["id"] in self.owned:
                if e["gold_rate"] > 1.0:
                    gold *= e["gold_rate"]
                if e["speed_rate"] > 1.0:
                    speed *= 1.0 / e["speed_rate"]
        return gold, speed

    def interval(self, dungeon_id):
        _, time_rate = self.rates()
        base = INTERVALS.get(dungeon_id, 1)
        return base * time_rate if 0 < time_rate < 1 else base

    def stronger(self, monster_id):
        return all(r in self.owned for r in self.t.reqs(monster_id))

    def draw(self, dungeon_id, boss_hunted, n):
        limit = 1 + n // 20
        weights, candidates, c = [], [], 0
        for e in self.t.lists.get(dungeon_id, []):
            if e["is_boss"] and not boss_hunted:
                continue
            if c < limit or not e["is_new"]:
                weights.append(e["rate"])
                candidates.append(e["monster_id"])
                if e["is_new"]:
                    c += 1
        if not candidates:
            return 0
        x = self.rng.getrandbits(32) % 1000
        acc = 0
        for i, r in enumerate(weights):
            w = band(r)
            if acc <= x < acc + w:
                return candidates[i]
            acc += w
        return candidates[0]

    def explore(self, dungeon_id, start):
        """Resolves one explore; returns the monsters won and the end time."""
        interval = self.interval(dungeon_id)
        total = interval * PARTY
        boss = self.t.dungeons[dungeon_id - 1]["boss_id"]
        depth = self.t.dungeons[dungeon_id - 1]["depth"]
        won = []
        for k in range(1, PARTY + 1):
            now = start + k * interval
            hunted = self.hunts.get(boss, 0) > 0
            n = self.explore_cnt.get(dungeon_id, 0)
            if not hunted and depth <= n and now - self.timestamp_boss >= total:
                m = boss
                self.timestamp_boss = now
            else:
                m = self.draw(dungeon_id, hunted, n)
            if m and self.stronger(m):
                won.append(m)
            self.explore_cnt[dungeon_id] = n + 1
        return won, start + total

    def collect(self, won):
        gold_rate, _ = self.rates()
        before = self.gold
        for m in won:
            self.gold += add_gold(self.t.monsters[m]["gold"], gold_rate)
            self.hunts[m] = self.hunts.get(m, 0) + 1
        return self.gold - before

    # --- shopping --------------------------------------------------------
    def listed(self, e):
        return self.unlocked(e["req_dungeon"])

    def purchasable(self, e):
        return e["monster"] == 0 or self.hunts.get(e["monster"], 0) >= e["num"]

    def needed_gear(self):
        needed = set()
        for d in self.t.dungeons:
            if self.unlocked(d["id"]):
                for e in self.t.lists.get(d["id"], []):
                    needed.update(self.t.reqs(e["monster_id"]))
        return needed

    def shop(self):
        needed = self.needed_gear()
        gear = sorted((e for e in self.t.equipments
                       if e["type"] == 0 and e["id"] in needed and e["id"] not in self.owned
                       and self.listed(e)), key=lambda e: e["gold"])
        for e in gear:
            if not self.purchasable(e):
                continue
            if self.gold < e["gold"]:
                return
            self.gold -= e["gold"]
            self.owned.add(e["id"])
        if any(e["id"] not in self.owned for e in gear):
            return
        bonus = sorted((e for e in self.t.equipments
                        if e["type"] == 1 and e["gold"] >= 1 and e["id"] not in self.owned
                        and self.listed(e) and self.purchasable(e)), key=lambda e: e["gold"])
        for e in bonus:
            if self.gold >= e["gold"]:
                self.gold -= e["gold"]
                self.owned.add(e["id"])


def next_visit(t):
    day = math.floor(t / DAY)
    for h in VISITS:
        v = day * DAY + h * 3600
        if v > t:
            return v
    return (day + 1) * DAY + VISITS[0] * 3600


def play(tables, seed, last_dungeon=10):
    rng = random.Random(seed)
    p = Player(tables, rng)
    t = VISITS[0] * 3600
    visit_end = t + VISIT_LENGTH
    arrivals = {1: t}
    cleared = {}
    per_dungeon = {d["id"]: {"explores": 0, "gold": 0, "time": 0.0} for d in tables.dungeons}
    running = None
    while len(cleared) < last_dungeon and t < 120 * DAY:
        if running is None:
            d = p.latest()
            start = t + START_SECONDS
            won, end = p.explore(d, start)
            running = (d, start, end, won)
        d, start, end, won = running
        if end <= visit_end:
            t = max(t, end) + COLLECT_SECONDS
            gained = p.collect(won)
            stats = per_dungeon[d]
            stats["explores"] += 1
            stats["gold"] += gained
            stats["time"] += end - start
            running = None
            boss = tables.dungeons[d - 1]["boss_id"]
            if boss in won and d not in cleared:
                cleared[d] = t
                if d + 1 <= len(tables.dungeons):
                    arrivals.setdefault(d + 1, t)
            p.shop()
        else:
            t = next_visit(t)
            visit_end = t + VISIT_LENGTH
    return arrivals, cleared, per_dungeon, p


def expected_gold_per_explore(tables, dungeon_id):
    """Gold of one explore with every monster admitted and all gear owned."""
    total = 0.0
    for e in tables.lists[dungeon_id]:
        total += band(e["rate"]) / 1000.0 * tables.monsters[e["monster_id"]]["gold"]
    return PARTY * total


def gear_price(tables, dungeon_id):
    """Gold price of the gear that the monsters of this dungeon ask for and the
    party does not own yet when it arrives."""
    needed = set()
    for e in tables.lists[dungeon_id]:
        needed.update(tables.reqs(e["monster_id"]))
    before = set()
    for d in range(1, dungeon_id):
        for e in tables.lists[d]:
            before.update(tables.reqs(e["monster_id"]))
    return sum(tables.equip_by_id[i]["gold"] for i in needed - before)


def fmt_duration(seconds):
    seconds = int(round(seconds))
    if seconds < 60:
        return f"{seconds} s"
    if seconds < 3600:
        m, s = divmod(seconds, 60)
        return f"{m} min" if s == 0 else f"{m} min {s} s"
    h, rem = divmod(seconds, 3600)
    m = rem // 60
    return f"{h} h" if m == 0 else f"{h} h {m:02d}"


def fmt_day(seconds):
    day = int(seconds // DAY) + 1
    hours = (seconds % DAY) / 3600
    return f"day {day}, {int(hours):02d}:{int((hours % 1) * 60):02d}"


def report(source, runs):
    tables = Tables(source)
    results = [play(tables, seed) for seed in range(runs)]
    ids = [d["id"] for d in tables.dungeons]
    rows = []
    for d in ids:
        explores = [r[2][d]["explores"] for r in results]
        gold = [r[2][d]["gold"] / max(1, r[2][d]["explores"]) for r in results]
        cleared = [r[1][d] for r in results if d in r[1]]
        arrived = [r[0][d] for r in results if d in r[0]]
        dungeon = tables.dungeons[d - 1]
        rows.append({
            "id": d,
            "name": dungeon["name"],
            "explore_time": PARTY * INTERVALS[d],
            "depth": dungeon["depth"],
            "min_explores": dungeon["depth"] // PARTY + 1,
            "explores": statistics.median(explores),
            "played_time": statistics.median(
                r[2][d]["time"] / max(1, r[2][d]["explores"]) for r in results),
            "gold_avg": statistics.median(gold),
            "gold_full": expected_gold_per_explore(tables, d),
            "next_price": gear_price(tables, d + 1) if d + 1 in tables.lists else 0,
            "arrived": statistics.median(arrived) if arrived else None,
            "cleared": statistics.median(cleared) if cleared else None,
            "cleared_all": len(cleared) == len(results),
        })
    return tables, rows, results


def markdown(rows, runs):
    first = rows[5]["cleared"]
    second = rows[9]["cleared"]
    out = []
    out.append("# Pacing")
    out.append("")
    out.append("Figures from `tools/content/pacing.py`, which reads the tables in `resources/tables/`")
    out.append(f"and plays them {runs} times with a casual player: a party of 20 (no post bonus, nothing")
    out.append("from the store), five visits a day of fifteen minutes (07:30, 12:15, 17:30, 20:00, 22:30),")
    out.append("buying the gear the next fights need as soon as it can and bonus items once every listed")
    out.append("piece of gear is owned. Medians over all runs. Re-run the script after changing the tables.")
    out.append("")
    out.append("| Dungeon | Time per explore (20 x interval / played) | Depth | Explores to the boss (least / played) "
               "| Gold per explore (played / all gear) | Gold price of the next dungeon's gear "
               "| Arrival | Boss beaten |")
    out.append("|---|---|---|---|---|---|---|---|")
    for r in rows:
        out.append(
            f"| {r['id']}. {r['name']} | {fmt_duration(r['explore_time'])} / {fmt_duration(r['played_time'])} "
            f"| {r['depth']} "
            f"| {r['min_explores']} / {r['explores']:g} "
            f"| {r['gold_avg']:,.0f} / {r['gold_full']:,.0f} "
            f"| {r['next_price']:,} "
            f"| {fmt_day(r['arrived']) if r['arrived'] is not None else '-'} "
            f"| {fmt_day(r['cleared']) if r['cleared'] is not None else 'not reached'} |")
    out.append("")
    ratios = [rows[i]["next_price"] / (rows[i]["gold_avg"] * rows[i]["explores"])
              for i in range(1, len(rows) - 1)]
    waiting = [r for r in rows if r["explores"] > r["min_explores"]]
    ready_until = (waiting[0]["id"] - 1) if waiting else rows[-1]["id"]
    out.append("The played explore time is shorter where the simulated player owns speed items (Swift")
    out.append("Boots, Winged Sandals, Hourglass of Haste). \"Least\" is the explore in which the boss can")
    out.append("first appear (depth / 20 + 1); \"played\" also counts the explores spent saving for the gear")
    out.append("the boss asks for.")
    out.append("")
    out.append("## Intended pace")
    out.append("")
    out.append(
        f"The meadow is a tutorial: {rows[0]['min_explores']} explores of twenty seconds, nothing to buy, and "
        f"its boss falls within minutes of the opening story. The forest brings the first coffins, which open "
        f"the shop; its first two pieces of gear each cost less than one forest explore brings home. From the desert "
        f"on, every dungeon asks for three new pieces of gear that are listed when the dungeon opens; the second "
        f"and third unlock after five hunts of one of the dungeon's earlier monsters, so each dungeon is learned "
        f"in the same order: farm the familiar monsters, buy, meet the next monster, buy again, face the boss. "
        f"The gear of the next dungeon costs {min(ratios):.1f} to {max(ratios):.1f} times what a dungeon yields "
        f"over the explores it takes; the rest is earned in the new dungeon from the older monsters that wander "
        f"there while its depth counts down. Up to dungeon {ready_until} the gear is ready when the boss first "
        f"appears; from dungeon {ready_until + 1} on the player saves for "
        f"{min(r['explores'] - r['min_explores'] for r in waiting):g} to "
        f"{max(r['explores'] - r['min_explores'] for r in waiting):g} explores more, while the explores "
        f"themselves grow from twenty seconds to six hours.")
    out.append("")
    out.append(
        f"A casual player clears the first three dungeons by {fmt_day(rows[2]['cleared'])}, beats the Shadow "
        f"Baron for the first ending on {fmt_day(first)} and the Demon King for the second ending on "
        f"{fmt_day(second)}: a few days for the first half of the kingdom and some weeks of short visits for "
        f"the second half, where an explore outlasts a visit and the game is meant to be closed in between. "
        f"More party members (post bonus) and the store's crown and carriage shorten all of this.")
    out.append("")
    return "\n".join(out)


def main():
    args = [a for a in sys.argv[1:]]
    runs = 100
    if "--runs" in args:
        i = args.index("--runs")
        runs = int(args[i + 1])
        del args[i:i + 2]
    to_stdout = "--print" in args
    args = [a for a in args if a != "--print"]
    source = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    _tables, rows, _results = report(source, runs)
    text = markdown(rows, runs)
    if to_stdout:
        print(text)
    else:
        with open(os.path.join(source, "docs", "PACING.md"), "w", encoding="utf-8") as f:
            f.write(text)
        print(text)


if __name__ == "__main__":
    main()
