#!/usr/bin/env python3
"""Checks the game's content: the four static tables and the string tables.

Run as: python3 check_content.py <source_dir> <build_dir>

Each check prints PASS or FAIL with the mistakes it found; the last line is
"N passed, M failed" (", K skipped" when the build copy is not there yet).
The exit status is non-zero when any check failed.
"""
import copy
import os
import plistlib
import re
import struct
import sys

MONSTERS_PER_DUNGEON = 6
DUNGEON_COUNT = 10
PARTY = 20
STRIP_SLOTS = 27          # icons that fit the two rows of the equipment strip
ONE_ROW_SLOTS = 15        # more type-0 items than this switch the strip to two rows
LANGUAGES = ["en", "ja", "zh-Hans"]
LEADERBOARD_MONSTERS = [1, 17]

MONSTER_FIELDS = {"id": int, "name": str, "gold": int, "description": str,
                  "req_equip1": int, "req_equip2": int, "req_equip3": int}
DUNGEON_FIELDS = {"id": int, "name": str, "boss_id": int, "depth": int}
LIST_FIELDS = {"dungeon_id": int, "monsters": list}
ENTRY_FIELDS = {"monster_id": int, "is_boss": bool, "is_new": bool, "rate": float}
EQUIP_FIELDS = {"id": int, "name": str, "description": str, "type": int, "gold": int,
                "product_id": str, "req_dungeon": int, "monster": int, "num": int,
                "gold_rate": float, "speed_rate": float}

# Every key the game looks up, with the arguments it fills a format with, by position:
# "@" text, "u" unsigned integer, "d" signed integer, "f" double. [] = plain text.
REQUIRED_KEYS = {
    "FormatStartBodyLong": ["u", "u"], "FormatStartBody": ["u", "u"],
    "FormatStartBodyMin": ["u"], "FormatStartBodySec": ["u"],
    "Notification": [], "NotificationLong": [], "Suspend": [], "SwipeTutorial": [],
    "Explore2Tutorial": [], "MemberAdded": [], "AppClose": [], "LeftTime": [], "BossHunted": [],
    "CancelButton": [], "RemindButton": [], "RateButton": [], "RateTitle": [], "RateBody": [],
    "PostBonus": [], "PostBonusMax": [], "PostBonusLeft": ["@"], "Cancel": [], "ToTwitter": [],
    "Post1": [], "Post2": [], "Post3": [], "AppUrl": [], "PostSucceed": [],
    "TwitterAlertTitle": [], "TwitterAlertBody": [],
    "FirstKanoke": [], "UnlockedShop": [], "UnlockedNewMap": [],
    "MangaNewDungeon": [], "MangaNewWeapons": [], "ChatTitle": [], "SavedPicture": [],
    "FormatStageBoss": ["@"], "FormatStageMonster": ["d"], "FormatMapUnlock": ["u"],
    "FormatSuspend": ["@"], "FormatLogLose": ["u", "@"], "FormatLogEquip": ["@", "@"],
    "NotifyLabel": [], "PushSoundSetting": [],
    "PurchasedKana": [], "Purchased": [], "NoGold": [], "FormatUnlockCondition": ["@", "u", "d"],
    "PurchaseErrorTitle": [], "PurchaseErrorBody": [], "PurchaseErrorInvalid": [],
    "PurchaseErrorRequest": [], "PurchaseRestoreTitle": [], "PurchaseRestoreBody": [],
    "AlertMsgTimeOut": [], "FormatBuyTitle": ["@"], "FormatBuyGoldItem": ["f"],
    "FormatBuySpeedItem": ["f"], "BuyEquip": [],
}


# --------------------------------------------------------------------------- helpers
def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def band(rate):
    """Per-mille band of a rate as the weighted draw computes it: the rate as a
    single-precision float times 1000 in single precision, truncated."""
    return max(0, int(f32(f32(rate) * f32(1000.0))))


def kind_name(t):
    return {int: "integer", float: "real", bool: "boolean", str: "string",
            list: "array", dict: "dictionary"}.get(t, t.__name__)


def check_fields(where, record, fields):
    errors = []
    if not isinstance(record, dict):
        return [f"{where}: not a dictionary"]
    for key, kind in fields.items():
        if key not in record:
            errors.append(f"{where}: field '{key}' is missing")
        elif type(record[key]) is not kind:  # bool is not an integer here, nor an integer a real
            errors.append(f"{where}: field '{key}' is {kind_name(type(record[key]))}, "
                          f"should be {kind_name(kind)}")
    for key in record:
        if key not in fields:
            errors.append(f"{where}: unknown field '{key}'")
    return errors


def load_plist(path):
    try:
        with open(path, "rb") as f:
            raw = f.read()
        return plistlib.loads(raw), raw, None
    except FileNotFoundError:
        return None, None, f"{path}: missing"
    except Exception as e:  # noqa: BLE001 - any parse failure is a content mistake
        return None, None, f"{path}: cannot be read as a property list ({e})"


# --------------------------------------------------------------------------- format strings
CONVERSION = re.compile(
    r"%(?:(?P<pos>\d+)\$)?(?P<flags>[-+ #0']*)(?P<width>\d+|\*)?(?:\.(?P<prec>\d*|\*))?"
    r"(?P<len>hh|h|ll|l|q|L|z|t|j)?(?P<conv>.?)", re.S)
KINDS = {"@": "@", "d": "d", "i": "d", "u": "u", "x": "u", "X": "u", "o": "u",
         "f": "f", "F": "f", "e": "f", "E": "f", "g": "f", "G": "f", "a": "f", "A": "f",
         "c": "c", "C": "c", "s": "s", "S": "s"}


def format_signature(text):
    """Returns (argument kinds by position, list of errors)."""
    errors, specs = [], []
    i = 0
    while True:
        i = text.find("%", i)
        if i < 0:
            break
        m = CONVERSION.match(text, i)
        conv = m.group("conv")
        whole = m.group(0)
        i = m.end()
        if whole == "%%":
            continue
        if conv == "%":
            errors.append(f"'{whole}': write a percent sign as %%")
            continue
        if conv == "" or conv not in KINDS:
            errors.append(f"'{whole}': not a conversion the game formats")
            continue
        if m.group("width") == "*" or m.group("prec") == "*":
            errors.append(f"'{whole}': '*' widths take an argument the game does not give")
            continue
        pos = int(m.group("pos")) if m.group("pos") else None
        specs.append((pos, KINDS[conv] + (m.group("len") or ""), whole))
    if not specs:
        return [], errors
    positional = [s for s in specs if s[0] is not None]
    if positional and len(positional) != len(specs):
        errors.append("mixes positional (%1$@) and plain conversions")
        return None, errors
    if not positional:
        return [s[1] for s in specs], errors
    by_pos = {}
    for pos, kind, whole in specs:
        if pos in by_pos and by_pos[pos] != kind:
            errors.append(f"argument {pos} is used as two kinds")
        by_pos[pos] = kind
    count = max(by_pos)
    missing = [p for p in range(1, count + 1) if p not in by_pos]
    if 0 in by_pos or missing:
        errors.append(f"positional arguments must be numbered 1 to {count} without gaps")
        return None, errors
    return [by_pos[p] for p in range(1, count + 1)], errors


def describe(signature):
    names = {"@": "text", "u": "unsigned", "d": "signed", "f": "double", "c": "char", "s": "C string"}
    if not signature:
        return "no argument"
    return ", ".join(names.get(k[0], k[0]) + (f" ({k[1:]} modifier)" if k[1:] else "") for k in signature)


# --------------------------------------------------------------------------- content
class Content:
    def __init__(self, source):
        self.source = source
        self.load_errors = {}
        tables = os.path.join(source, "resources", "tables")
        self.raw = {}
        self.tables = {}
        for name in ("monsters", "dungeons", "dungeon_monsters", "equipments"):
            value, raw, error = load_plist(os.path.join(tables, name + ".plist"))
            self.raw[name] = raw
            if error is None and not isinstance(value, list):
                error = f"{name}.plist: root is not an array"
            if error is None and not all(isinstance(e, dict) for e in value):
                error = f"{name}.plist: every element must be a dictionary"
            if error:
                self.load_errors[name] = error
                value = []
            self.tables[name] = value
        self.strings = {}
        self.string_raw = {}
        self.string_errors = {}
        for lang in LANGUAGES:
            path = os.path.join(source, "resources", "strings", lang + ".lproj", "Localizable.strings")
            value, raw, error = load_plist(path)
            self.string_raw[lang] = raw
            if error is None and not isinstance(value, dict):
                error = f"{lang}: root is not a dictionary"
            if error:
                self.string_errors[lang] = error
                value = {}
            self.strings[lang] = value
        self.reindex()

    def reindex(self):
        """Builds the lookups; call again after changing the tables."""
        self.monsters = self.tables["monsters"]
        self.dungeons = self.tables["dungeons"]
        self.lists = self.tables["dungeon_monsters"]
        self.equipments = self.tables["equipments"]
        self.monster_by_id = {}
        for m in self.monsters:
            self.monster_by_id.setdefault(m.get("id"), m)
        self.equip_by_id = {}
        for e in self.equipments:
            self.equip_by_id.setdefault(e.get("id"), e)
        self.list_by_dungeon = {}
        for entry in self.lists:
            self.list_by_dungeon.setdefault(entry.get("dungeon_id"), entry.get("monsters") or [])

    def dungeon_of_monster(self, monster_id):
        return (monster_id - 1) // MONSTERS_PER_DUNGEON + 1

    def reqs(self, monster):
        return [monster.get(k) for k in ("req_equip1", "req_equip2", "req_equip3")
                if isinstance(monster.get(k), int) and monster.get(k) != 0]


# --------------------------------------------------------------------------- table checks
def check_tables_load(c):
    return list(c.load_errors.values())


def check_dungeon_fields(c):
    errors = []
    for i, d in enumerate(c.dungeons):
        errors += check_fields(f"dungeon at position {i}", d, DUNGEON_FIELDS)
        if isinstance(d.get("name"), str) and not d["name"].strip():
            errors.append(f"dungeon {d.get('id')}: empty name")
    return errors


def check_dungeon_order(c):
    errors = []
    if len(c.dungeons) != DUNGEON_COUNT:
        errors.append(f"{len(c.dungeons)} dungeons, the game has {DUNGEON_COUNT}")
    for i, d in enumerate(c.dungeons):
        if d.get("id") != i + 1:
            errors.append(f"dungeon at position {i} has id {d.get('id')}, should be {i + 1} "
                          "(the map list turns row i into dungeon i + 1)")
    return errors


def check_dungeon_bosses(c):
    errors = []
    for d in c.dungeons:
        did, boss = d.get("id"), d.get("boss_id")
        if not isinstance(did, int):
            continue
        expected = did * MONSTERS_PER_DUNGEON
        if boss != expected:
            errors.append(f"dungeon {did}: boss_id {boss}, should be the sixth monster of its group ({expected})")
        elif boss not in c.monster_by_id:
            errors.append(f"dungeon {did}: boss {boss} is not in the monster table")
        depth = d.get("depth")
        if isinstance(depth, int) and depth < PARTY:
            errors.append(f"dungeon {did}: depth {depth} lets the boss come in the very first explore "
                          f"(use at least {PARTY})")
    return errors


def check_monster_fields(c):
    errors = []
    names = {}
    for i, m in enumerate(c.monsters):
        errors += check_fields(f"monster at position {i}", m, MONSTER_FIELDS)
        for key in ("name", "description"):
            if isinstance(m.get(key), str) and not m[key].strip():
                errors.append(f"monster {m.get('id')}: empty {key}")
        if isinstance(m.get("gold"), int) and m["gold"] < 1:
            errors.append(f"monster {m.get('id')}: gold {m['gold']}, a hunt should bring at least 1")
        name = m.get("name")
        if isinstance(name, str):
            if name in names:
                errors.append(f"monster {m.get('id')}: name '{name}' already used by monster {names[name]}")
            names.setdefault(name, m.get("id"))
    return errors


def check_monster_order(c):
    errors = []
    expected = len(c.dungeons) * MONSTERS_PER_DUNGEON
    if len(c.monsters) != expected:
        errors.append(f"{len(c.monsters)} monsters, should be six per dungeon ({expected})")
    for i, m in enumerate(c.monsters):
        if m.get("id") != i + 1:
            errors.append(f"monster at position {i} has id {m.get('id')}, should be {i + 1} "
                          "(the collection shows entries 6p..6p+5 as dungeon p + 1)")
    return errors


def check_monster_requirements(c):
    errors = []
    for m in c.monsters:
        mid = m.get("id")
        if not isinstance(mid, int):
            continue
        dungeon = c.dungeon_of_monster(mid)
        reqs = c.reqs(m)
        if len(set(reqs)) != len(reqs):
            errors.append(f"monster {mid}: the same equipment is required twice")
        if dungeon == 1 and reqs:
            errors.append(f"monster {mid}: the first dungeon must need no equipment, asks for {reqs}")
        for r in reqs:
            e = c.equip_by_id.get(r)
            if e is None:
                errors.append(f"monster {mid}: requires equipment {r}, which does not exist")
            elif e.get("type") != 0:
                errors.append(f"monster {mid}: requires equipment {r} of type {e.get('type')}, "
                              "only type 0 gear is meant to be required")
            elif isinstance(e.get("req_dungeon"), int) and e["req_dungeon"] > dungeon:
                errors.append(f"monster {mid} (dungeon {dungeon}): requires '{e.get('name')}', "
                              f"which the shop lists only from dungeon {e['req_dungeon']}")
    return errors


def check_list_fields(c):
    errors = []
    for i, lst in enumerate(c.lists):
        errors += check_fields(f"monster list at position {i}", lst, LIST_FIELDS)
        for j, e in enumerate(lst.get("monsters") or []):
            errors += check_fields(f"dungeon {lst.get('dungeon_id')} entry {j}", e, ENTRY_FIELDS)
    return errors


def check_list_order(c):
    errors = []
    if len(c.lists) != len(c.dungeons):
        errors.append(f"{len(c.lists)} monster lists for {len(c.dungeons)} dungeons")
    for i, lst in enumerate(c.lists):
        if lst.get("dungeon_id") != i + 1:
            errors.append(f"monster list at position {i} is for dungeon {lst.get('dungeon_id')}, should be {i + 1}")
    return errors


def check_list_rates(c):
    errors = []
    for lst in c.lists:
        did = lst.get("dungeon_id")
        total = 0
        for e in lst.get("monsters") or []:
            rate = e.get("rate")
            if not isinstance(rate, float):
                continue
            if rate <= 0:
                errors.append(f"dungeon {did} monster {e.get('monster_id')}: rate {rate} is never drawn")
                continue
            if abs(rate * 1000 - round(rate * 1000)) > 1e-6:
                errors.append(f"dungeon {did} monster {e.get('monster_id')}: rate {rate} is not a multiple "
                              "of 0.001 (the draw works in thousandths)")
            if band(rate) != round(rate * 1000):
                errors.append(f"dungeon {did} monster {e.get('monster_id')}: rate {rate} is worth only "
                              f"{band(rate)} thousandths in single precision")
            total += band(rate)
        if total != 1000:
            errors.append(f"dungeon {did}: rates add up to {total} thousandths, should be 1000")
    return errors


def check_list_bosses(c):
    errors = []
    for d in c.dungeons:
        did, boss = d.get("id"), d.get("boss_id")
        entries = c.list_by_dungeon.get(did)
        if entries is None:
            errors.append(f"dungeon {did}: no monster list")
            continue
        flagged = [e.get("monster_id") for e in entries if e.get("is_boss") is True]
        if flagged != [boss]:
            errors.append(f"dungeon {did}: entries flagged is_boss {flagged}, should be exactly [{boss}]")
        if entries and entries[0].get("is_boss") is True:
            errors.append(f"dungeon {did}: the first entry is the boss; unadmitted shares fall to the "
                          "first entry, which must be an ordinary monster")
    return errors


def check_list_members(c):
    errors = []
    for lst in c.lists:
        did = lst.get("dungeon_id")
        if not isinstance(did, int):
            continue
        entries = lst.get("monsters") or []
        ids = [e.get("monster_id") for e in entries]
        own = list(range((did - 1) * MONSTERS_PER_DUNGEON + 1, did * MONSTERS_PER_DUNGEON + 1))
        if len(set(ids)) != len(ids):
            errors.append(f"dungeon {did}: a monster is listed twice")
        for mid in own:
            if mid not in ids:
                errors.append(f"dungeon {did}: its own monster {mid} is missing from its list")
        for e in entries:
            mid = e.get("monster_id")
            if mid not in c.monster_by_id:
                errors.append(f"dungeon {did}: monster {mid} is not in the monster table")
                continue
            home = c.dungeon_of_monster(mid)
            if home == did and e.get("is_new") is not True:
                errors.append(f"dungeon {did}: its own monster {mid} should be marked is_new "
                              "(the map list counts them for its stars)")
            if home != did:
                if home > did:
                    errors.append(f"dungeon {did}: monster {mid} belongs to the later dungeon {home}")
                if e.get("is_new") is not False:
                    errors.append(f"dungeon {did}: monster {mid} from dungeon {home} must not be marked is_new")
    return errors


def check_list_arrival(c):
    """A party arriving in a dungeon owns at least the gear of the bosses it beat.
    The first entry takes every share not yet admitted, and the first new monster
    is the only one admitted in the first explore: both must be beatable then."""
    errors = []
    owned = set()
    for d in c.dungeons:
        did = d.get("id")
        entries = c.list_by_dungeon.get(did) or []
        first = entries[0].get("monster_id") if entries else None
        first_new = next((e.get("monster_id") for e in entries
                          if e.get("is_new") is True and e.get("is_boss") is not True), None)
        for label, mid in (("first entry", first), ("first new monster", first_new)):
            m = c.monster_by_id.get(mid)
            if m is None:
                continue
            missing = [r for r in c.reqs(m) if r not in owned]
            if missing:
                errors.append(f"dungeon {did}: its {label} {mid} needs equipment {missing} that a party "
                              "arriving from the previous boss may not own")
        boss = c.monster_by_id.get(d.get("boss_id"))
        if boss:
            owned.update(c.reqs(boss))
    return errors


def check_equipment_fields(c):
    errors = []
    names = {}
    for i, e in enumerate(c.equipments):
        errors += check_fields(f"equipment at position {i}", e, EQUIP_FIELDS)
        for key in ("name", "description"):
            if isinstance(e.get(key), str) and not e[key].strip():
                errors.append(f"equipment {e.get('id')}: empty {key}")
        name = e.get("name")
        if isinstance(name, str):
            if name in names:
                errors.append(f"equipment {e.get('id')}: name '{name}' already used by {names[name]}")
            names.setdefault(name, e.get("id"))
    return errors


def check_equipment_ids(c):
    errors = []
    ids = [e.get("id") for e in c.equipments]
    if ids != sorted(set(i for i in ids if isinstance(i, int))) or len(ids) != len(set(ids)):
        errors.append(f"equipment ids must be unique and ascending: {ids}")
    gear = sorted(e.get("id") for e in c.equipments if e.get("type") == 0)
    if gear != list(range(1, len(gear) + 1)):
        errors.append(f"type 0 ids must run 1..n without gaps (they place the strip's icons): {gear}")
    if len(gear) > STRIP_SLOTS:
        errors.append(f"{len(gear)} type 0 items, the strip holds {STRIP_SLOTS}")
    if len(gear) <= ONE_ROW_SLOTS:
        errors.append(f"{len(gear)} type 0 items only fill the first row of the strip")
    for e in c.equipments:
        if e.get("type") not in (0, 1):
            errors.append(f"equipment {e.get('id')}: type {e.get('type')}, should be 0 or 1")
    return errors


def check_equipment_kinds(c):
    errors = []
    products = {}
    for e in c.equipments:
        eid, gold, pid, etype = e.get("id"), e.get("gold"), e.get("product_id"), e.get("type")
        grate, srate = e.get("gold_rate"), e.get("speed_rate")
        if not isinstance(gold, int) or not isinstance(pid, str):
            continue
        if gold < 1:
            if not re.fullmatch(r"[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+", pid):
                errors.append(f"equipment {eid}: a store item (gold {gold}) needs a product_id like "
                              f"com.example.game.item, has '{pid}'")
            elif pid in products:
                errors.append(f"equipment {eid}: product_id '{pid}' already used by {products[pid]}")
            products.setdefault(pid, eid)
            if etype == 0:
                errors.append(f"equipment {eid}: gear that monsters require must be bought with gold")
        elif pid:
            errors.append(f"equipment {eid}: a gold item must have an empty product_id, has '{pid}'")
        if not isinstance(grate, float) or not isinstance(srate, float):
            continue
        if etype == 0 and (grate > 1.0 or srate > 1.0):
            errors.append(f"equipment {eid}: type 0 items never change the rates, yet has "
                          f"gold_rate {grate} speed_rate {srate}")
        if etype == 1:
            if grate <= 1.0 and srate <= 1.0:
                errors.append(f"equipment {eid}: a bonus item with no rate above 1.0 does nothing")
            if grate < 1.0 or srate < 1.0:
                errors.append(f"equipment {eid}: rates below 1.0 are ignored (use 1.0 for none)")
            if grate > 3.0 or srate > 3.0:
                errors.append(f"equipment {eid}: a rate above 3.0 breaks the pacing")
    return errors


def check_equipment_conditions(c):
    errors = []
    dungeon_ids = {d.get("id") for d in c.dungeons}
    required = {r for m in c.monsters for r in c.reqs(m)}
    for e in c.equipments:
        eid, monster, num = e.get("id"), e.get("monster"), e.get("num")
        if e.get("req_dungeon") not in dungeon_ids:
            errors.append(f"equipment {eid}: req_dungeon {e.get('req_dungeon')} is not a dungeon")
        if isinstance(monster, int) and isinstance(num, int):
            if monster == 0 and num != 0:
                errors.append(f"equipment {eid}: num {num} without an unlock monster")
            if monster != 0:
                if monster not in c.monster_by_id:
                    errors.append(f"equipment {eid}: unlock monster {monster} does not exist")
                if num < 1:
                    errors.append(f"equipment {eid}: unlock monster {monster} needs num of at least 1")
        if e.get("type") == 0 and eid not in required:
            errors.append(f"equipment {eid} '{e.get('name')}': type 0 gear that no monster requires")
    return errors


def check_progression(c):
    """Plays the unlock rules to their end with gold purchases only: every dungeon
    must open, every monster must become beatable and every piece of gear buyable."""
    errors = []
    drawable = {}   # monster -> dungeons where it can be drawn again and again
    for did, entries in c.list_by_dungeon.items():
        for e in entries:
            if isinstance(e.get("rate"), float) and band(e["rate"]) > 0:
                drawable.setdefault(e.get("monster_id"), set()).add(did)
    boss_of = {d.get("id"): d.get("boss_id") for d in c.dungeons}
    unlocked, owned, beatable, repeatable = {1}, set(), set(), set()
    changed = True
    while changed:
        changed = False
        for did in sorted(unlocked):
            candidates = [e.get("monster_id") for e in c.list_by_dungeon.get(did) or []]
            candidates.append(boss_of.get(did))
            for mid in candidates:
                m = c.monster_by_id.get(mid)
                if m and mid not in beatable and all(r in owned for r in c.reqs(m)):
                    beatable.add(mid)
                    changed = True
                if m and mid in beatable and mid not in repeatable and did in drawable.get(mid, ()):
                    repeatable.add(mid)
                    changed = True
            nxt = did + 1
            if boss_of.get(did) in beatable and nxt in boss_of and nxt not in unlocked:
                unlocked.add(nxt)
                changed = True
        for e in c.equipments:
            eid = e.get("id")
            if eid in owned or not isinstance(e.get("gold"), int) or e["gold"] < 1:
                continue
            if e.get("req_dungeon") not in unlocked:
                continue
            monster, num = e.get("monster"), e.get("num")
            if monster and not ((num == 1 and monster in beatable) or monster in repeatable):
                continue
            owned.add(eid)
            changed = True
    locked = sorted(set(boss_of) - unlocked)
    if locked:
        errors.append(f"dungeons {locked} can never be opened without store items")
    never = sorted(set(c.monster_by_id) - beatable)
    if never:
        errors.append(f"monsters {never} can never be beaten, the collection cannot be completed")
    unbought = sorted(e.get("id") for e in c.equipments
                      if isinstance(e.get("gold"), int) and e["gold"] >= 1 and e.get("id") not in owned)
    if unbought:
        errors.append(f"equipment {unbought} can never be bought")
    for mid in LEADERBOARD_MONSTERS:
        if mid not in repeatable:
            errors.append(f"monster {mid} has a leaderboard but cannot be hunted again and again")
    return errors


# --------------------------------------------------------------------------- string checks
def check_strings_load(c):
    errors = list(c.string_errors.values())
    for lang, table in c.strings.items():
        raw = c.string_raw.get(lang)
        if raw is not None and not raw.lstrip().startswith(b"<?xml"):
            errors.append(f"{lang}: not an XML property list")
        if raw is not None:
            try:
                raw.decode("utf-8")
            except UnicodeDecodeError:
                errors.append(f"{lang}: not UTF-8")
        for key, text in table.items():
            if not isinstance(text, str):
                errors.append(f"{lang} '{key}': value is {kind_name(type(text))}, should be string")
            elif not text.strip():
                errors.append(f"{lang} '{key}': empty text")
            elif text != text.strip():
                errors.append(f"{lang} '{key}': leading or trailing white space")
    return errors


def check_string_keys(c):
    errors = []
    all_keys = set()
    for table in c.strings.values():
        all_keys |= set(table)
    for lang in LANGUAGES:
        missing = sorted(all_keys - set(c.strings[lang]))
        if missing:
            errors.append(f"{lang}: keys missing that other languages have: {missing}")
    return errors


def check_required_keys(c):
    errors = []
    for lang in LANGUAGES:
        missing = sorted(set(REQUIRED_KEYS) - set(c.strings[lang]))
        if missing:
            errors.append(f"{lang}: keys the game looks up are missing: {missing}")
    return errors


def check_format_arguments(c):
    """Each text takes exactly the arguments the game passes for its key."""
    errors = []
    for lang in LANGUAGES:
        for key, text in sorted(c.strings[lang].items()):
            if not isinstance(text, str):
                continue
            signature, problems = format_signature(text)
            errors += [f"{lang} '{key}': {p}" for p in problems]
            if signature is None:
                continue
            expected = REQUIRED_KEYS.get(key)
            if expected is None:
                continue
            if expected == [] and "%" in text:
                errors.append(f"{lang} '{key}': plain text must not contain '%' (it is not formatted)")
            elif signature != expected:
                errors.append(f"{lang} '{key}': takes {describe(signature)}, the game passes {describe(expected)}")
    return errors


def check_format_languages(c):
    """Every language takes the same arguments for a key as English does."""
    errors = []
    base = c.strings.get("en", {})
    for key, text in sorted(base.items()):
        if not isinstance(text, str):
            continue
        en_sig, _ = format_signature(text)
        for lang in LANGUAGES[1:]:
            other = c.strings[lang].get(key)
            if not isinstance(other, str):
                continue
            sig, _ = format_signature(other)
            if sig != en_sig:
                errors.append(f"'{key}': en takes {describe(en_sig or [])}, {lang} takes {describe(sig or [])}")
    return errors


# --------------------------------------------------------------------------- build copy
def check_build_copy(c, build):
    """The build folder's resources are the ones in the checkout (None: not built)."""
    target = os.path.join(build, "resources")
    if not os.path.isdir(target):
        return None
    errors = []
    files = [os.path.join("tables", n + ".plist") for n in ("monsters", "dungeons", "dungeon_monsters", "equipments")]
    files += [os.path.join("strings", lang + ".lproj", "Localizable.strings") for lang in LANGUAGES]
    for rel in files:
        src, dst = os.path.join(c.source, "resources", rel), os.path.join(target, rel)
        if not os.path.exists(src):
            continue
        if not os.path.exists(dst):
            errors.append(f"{rel}: not copied into {target}")
            continue
        with open(src, "rb") as a, open(dst, "rb") as b:
            if a.read() != b.read():
                errors.append(f"{rel}: the build copy differs from the checkout (rebuild)")
    return errors



# --------------------------------------------------------------------------- self-test
def _entry(c, dungeon_id, monster_id):
    return next(e for e in c.list_by_dungeon[dungeon_id] if e["monster_id"] == monster_id)


def _swap_dungeons(c):
    c.tables["dungeons"][1], c.tables["dungeons"][2] = c.tables["dungeons"][2], c.tables["dungeons"][1]


def _reorder_lose(c):
    c.strings["zh-Hans"]["FormatLogLose"] = "%@打败了队员%u。"


def _positional_lose(c):
    c.strings["zh-Hans"]["FormatLogLose"] = "%2$@打败了队员%1$u。"


def _gear_cycle(c):
    gear = next(e for e in c.equipments if e["id"] == c.reqs(c.monster_by_id[36])[-1])
    gear["monster"], gear["num"] = 36, 1


# (what is planted, the check that must catch it, the change; False = must still pass)
PLANTED = [
    ("a rate off the thousandths", check_list_rates,
     lambda c: _entry(c, 1, 1).update(rate=_entry(c, 1, 1)["rate"] + 0.0005)),
    ("rates adding up to 0.99", check_list_rates,
     lambda c: _entry(c, 2, 7).update(rate=_entry(c, 2, 7)["rate"] - 0.01)),
    ("a rate written as an integer", check_list_fields,
     lambda c: _entry(c, 1, 1).update(rate=1)),
    ("a flag written as an integer", check_list_fields,
     lambda c: _entry(c, 1, 1).update(is_new=1)),
    ("two dungeons swapped", check_dungeon_order, _swap_dungeons),
    ("a boss that is not the sixth of its group", check_dungeon_bosses,
     lambda c: c.dungeons[2].update(boss_id=17)),
    ("the boss flag on an ordinary monster", check_list_bosses,
     lambda c: _entry(c, 3, 17).update(is_boss=True)),
    ("an older monster marked new", check_list_members,
     lambda c: c.list_by_dungeon[4][0].update(is_new=True)),
    ("a misspelt field", check_monster_fields,
     lambda c: c.monsters[4].update(req_equp1=c.monsters[4].pop("req_equip1"))),
    ("a requirement on gear listed only later", check_monster_requirements,
     lambda c: c.monster_by_id[20].update(req_equip3=c.reqs(c.monster_by_id[60])[0])),
    ("a requirement on a bonus item", check_monster_requirements,
     lambda c: c.monster_by_id[20].update(req_equip3=next(e["id"] for e in c.equipments if e["type"] == 1))),
    ("a first draw the arriving party cannot beat", check_list_arrival,
     lambda c: c.monster_by_id[c.list_by_dungeon[5][0]["monster_id"]].update(
         req_equip3=c.reqs(c.monster_by_id[30])[-1])),
    ("gear that needs a hunt of the boss it is for", check_progression, _gear_cycle),
    ("a store item without a product id", check_equipment_kinds,
     lambda c: next(e for e in c.equipments if e["gold"] < 1).update(product_id="")),
    ("a missing key in one language", check_string_keys,
     lambda c: c.strings["ja"].pop("NoGold")),
    ("a missing key in every language", check_required_keys,
     lambda c: [c.strings[lang].pop("LeftTime") for lang in LANGUAGES]),
    ("arguments swapped without positions", check_format_languages, _reorder_lose),
    ("arguments swapped without positions", check_format_arguments, _reorder_lose),
    ("a long conversion where the game passes an int", check_format_arguments,
     lambda c: c.strings["en"].update(FormatUnlockCondition="Hunt %@ %lu times (%d to go).")),
    ("a lone percent sign in plain text", check_format_arguments,
     lambda c: c.strings["en"].update(Post1="100% fun!")),
    ("positional arguments that reorder (allowed)", check_format_arguments, _positional_lose, False),
    ("positional arguments that reorder (allowed)", check_format_languages, _positional_lose, False),
]


def self_test(content):
    """Plants known mistakes in copies of the content; each must be caught."""
    errors = []
    for planted in PLANTED:
        what, check, change = planted[:3]
        must_fail = planted[3] if len(planted) > 3 else True
        c = copy.deepcopy(content)
        change(c)
        c.reindex()
        caught = bool(check(c))
        if caught != must_fail:
            verb = "missed" if must_fail else "wrongly rejected"
            errors.append(f"'{check.__name__}' {verb}: {what}")
    return errors

# --------------------------------------------------------------------------- main
CHECKS = [
    ("tables load as arrays of dictionaries", check_tables_load),
    ("dungeons: fields and kinds", check_dungeon_fields),
    ("dungeons: ten, sorted, id = position + 1", check_dungeon_order),
    ("dungeons: boss is the sixth monster of its group, depth past the first explore", check_dungeon_bosses),
    ("monsters: fields and kinds, names, gold", check_monster_fields),
    ("monsters: six per dungeon in dungeon order", check_monster_order),
    ("monsters: requirements are type 0 gear listed by their dungeon", check_monster_requirements),
    ("dungeon_monsters: fields and kinds", check_list_fields),
    ("dungeon_monsters: one list per dungeon in order", check_list_order),
    ("dungeon_monsters: rates are thousandths adding up to 1", check_list_rates),
    ("dungeon_monsters: the boss is flagged once, on the dungeon's boss", check_list_bosses),
    ("dungeon_monsters: own monsters new, older ones not", check_list_members),
    ("dungeon_monsters: a newly arrived party can beat the first draws", check_list_arrival),
    ("equipments: fields and kinds, names", check_equipment_fields),
    ("equipments: ids, types and the equipment strip", check_equipment_ids),
    ("equipments: prices, store products and rates", check_equipment_kinds),
    ("equipments: dungeons, unlock monsters, gear in use", check_equipment_conditions),
    ("progression: every dungeon, monster and item is reachable with gold", check_progression),
    ("strings: three XML tables of non-empty UTF-8 texts", check_strings_load),
    ("strings: the same keys in every language", check_string_keys),
    ("strings: every key the game looks up is there", check_required_keys),
    ("strings: formats take the game's arguments", check_format_arguments),
    ("strings: formats take the same arguments in every language", check_format_languages),
    ("self-test: the checks catch planted mistakes", self_test),
]


def main(argv):
    if len(argv) < 2:
        print("usage: check_content.py <source_dir> [<build_dir>]")
        return 2
    source = argv[1]
    build = argv[2] if len(argv) > 2 else None
    content = Content(source)
    passed = failed = skipped = 0
    for name, check in CHECKS:
        try:
            errors = check(content)
        except Exception as e:  # noqa: BLE001 - a crash is reported as that check failing
            errors = [f"the check itself failed: {type(e).__name__}: {e}"]
        if errors:
            failed += 1
            print(f"FAIL {name}")
            for error in errors:
                print(f"     {error}")
        else:
            passed += 1
            print(f"PASS {name}")
    errors = check_build_copy(content, build) if build else None
    if errors is None:
        skipped += 1
        print("SKIP build copy of the tables and strings (no resources in the build folder)")
    elif errors:
        failed += 1
        print("FAIL build copy of the tables and strings")
        for error in errors:
            print(f"     {error}")
    else:
        passed += 1
        print("PASS build copy of the tables and strings")
    tail = f", {skipped} skipped" if skipped else ""
    print(f"{passed} passed, {failed} failed{tail}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
