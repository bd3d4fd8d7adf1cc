#!/usr/bin/env python3
"""Checks the game's content: the four static tables and the string tables.

Run as: python3 check_content.py <source_dir> [<build_dir>]
Prints PASS or FAIL per check with the mistakes found, then "N passed, M failed"
(", K skipped" when the build copy is not there yet); exits non-zero on any failure.
"""
import copy
import filecmp
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
TABLES = ("monsters", "dungeons", "dungeon_monsters", "equipments")

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
    "FormatStartBodyMin": ["u"], "FormatStartBodySec": ["u"], "PostBonusLeft": ["@"],
    "FormatStageBoss": ["@"], "FormatStageMonster": ["d"], "FormatMapUnlock": ["u"],
    "FormatSuspend": ["@"], "FormatLogLose": ["u", "@"], "FormatLogEquip": ["@", "@"],
    "FormatUnlockCondition": ["@", "u", "d"], "FormatBuyTitle": ["@"], "FormatBuyGoldItem": ["f"],
    "FormatBuySpeedItem": ["f"],
    **{key: [] for key in (
        "Notification NotificationLong Suspend SwipeTutorial Explore2Tutorial MemberAdded AppClose "
        "LeftTime BossHunted CancelButton RemindButton RateButton RateTitle RateBody PostBonus "
        "PostBonusMax Cancel ToTwitter Post1 Post2 Post3 AppUrl PostSucceed TwitterAlertTitle "
        "TwitterAlertBody FirstKanoke UnlockedShop UnlockedNewMap MangaNewDungeon MangaNewWeapons "
        "ChatTitle SavedPicture NotifyLabel PushSoundSetting PurchasedKana Purchased NoGold "
        "PurchaseErrorTitle PurchaseErrorBody PurchaseErrorInvalid PurchaseErrorRequest "
        "PurchaseRestoreTitle PurchaseRestoreBody AlertMsgTimeOut BuyEquip").split()},
}
KIND_NAMES = {int: "integer", float: "real", bool: "boolean", str: "string", list: "array", dict: "dictionary"}

def kind_name(value):
    return KIND_NAMES.get(type(value), type(value).__name__)

def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]

def band(rate):
    """Per-mille band of a rate as the weighted draw computes it: the rate as a
    single-precision float times 1000 in single precision, truncated."""
    return max(0, int(f32(f32(rate) * f32(1000.0))))

def check_fields(where, record, fields):
    if not isinstance(record, dict):
        yield f"{where}: not a dictionary"
        return
    for key, kind in fields.items():
        if key not in record:
            yield f"{where}: field '{key}' is missing"
        elif type(record[key]) is not kind:  # bool is not an integer here, nor an integer a real
            yield f"{where}: field '{key}' is {kind_name(record[key])}, should be {KIND_NAMES[kind]}"
    yield from (f"{where}: unknown field '{key}'" for key in record if key not in fields)

def no_blank_texts(what, record, keys):
    for key in keys:
        if isinstance(record.get(key), str) and not record[key].strip():
            yield f"{what} {record.get('id')}: empty {key}"

def unique_names(what, records):
    names = {}
    for r in records:
        name = r.get("name")
        if isinstance(name, str) and name in names:
            yield f"{what} {r.get('id')}: name '{name}' already used by {what} {names[name]}"
        names.setdefault(name, r.get("id"))

def load_plist(path, root_type, what):
    """(value, raw bytes, error); the value is an empty root_type() on error."""
    try:
        with open(path, "rb") as f:
            raw = f.read()
        value = plistlib.loads(raw)
    except FileNotFoundError:
        return root_type(), None, f"{path}: missing"
    except Exception as e:  # noqa: BLE001 - any parse failure is a content mistake
        return root_type(), None, f"{path}: cannot be read as a property list ({e})"
    if not isinstance(value, root_type):
        return root_type(), raw, f"{what}: root is not {'an array' if root_type is list else 'a dictionary'}"
    if root_type is list and not all(isinstance(e, dict) for e in value):
        return [], raw, f"{what}: every element must be a dictionary"
    return value, raw, None

# --------------------------------------------------------------------------- format strings
CONVERSION = re.compile(
    r"%(?:(?P<pos>\d+)\$)?(?P<flags>[-+ #0']*)(?P<width>\d+|\*)?(?:\.(?P<prec>\d*|\*))?"
    r"(?P<len>hh|h|ll|l|q|L|z|t|j)?(?P<conv>.?)", re.S)
KINDS = {"@": "@", "d": "d", "i": "d", "u": "u", "x": "u", "X": "u", "o": "u",
         "f": "f", "F": "f", "e": "f", "E": "f", "g": "f", "G": "f", "a": "f", "A": "f",
         "c": "c", "C": "c", "s": "s", "S": "s"}

def format_signature(text):
    """(argument kinds by position or None when unusable, list of errors)."""
    errors, specs = [], []
    for m in CONVERSION.finditer(text):
        whole, conv = m.group(0), m.group("conv")
        if whole == "%%":
            continue
        if conv == "%":
            errors.append(f"'{whole}': write a percent sign as %%")
        elif conv not in KINDS:
            errors.append(f"'{whole}': not a conversion the game formats")
        elif m.group("width") == "*" or m.group("prec") == "*":
            errors.append(f"'{whole}': '*' widths take an argument the game does not give")
        else:
            pos = int(m.group("pos")) if m.group("pos") else None
            specs.append((pos, KINDS[conv] + (m.group("len") or "")))
    positional = [s for s in specs if s[0] is not None]
    if not positional:
        return [s[1] for s in specs], errors
    if len(positional) != len(specs):
        return None, errors + ["mixes positional (%1$@) and plain conversions"]
    by_pos = {}
    for pos, kind in specs:
        if by_pos.setdefault(pos, kind) != kind:
            errors.append(f"argument {pos} is used as two kinds")
    count = max(by_pos)
    if 0 in by_pos or len(by_pos) != count:
        return None, errors + [f"positional arguments must be numbered 1 to {count} without gaps"]
    return [by_pos[p] for p in range(1, count + 1)], errors

def describe(signature):
    names = {"@": "text", "u": "unsigned", "d": "signed", "f": "double", "c": "char", "s": "C string"}
    return ", ".join(names.get(k[0], k[0]) + (f" ({k[1:]} modifier)" if k[1:] else "")
                     for k in signature or []) or "no argument"

# --------------------------------------------------------------------------- content
class Content:
    def __init__(self, source):
        self.source = source
        tables = os.path.join(source, "resources", "tables")
        loaded = {n: load_plist(os.path.join(tables, n + ".plist"), list, n + ".plist") for n in TABLES}
        self.tables = {n: v for n, (v, _, _) in loaded.items()}
        self.load_errors = [e for _, _, e in loaded.values() if e]
        strings = {lang: load_plist(os.path.join(source, "resources", "strings", lang + ".lproj",
                                                 "Localizable.strings"), dict, lang) for lang in LANGUAGES}
        self.strings = {lang: v for lang, (v, _, _) in strings.items()}
        self.string_raw = {lang: raw for lang, (_, raw, _) in strings.items()}
        self.string_errors = [e for _, _, e in strings.values() if e]
        self.reindex()

    def reindex(self):
        """Builds the lookups; call again after changing the tables."""
        self.monsters, self.dungeons = self.tables["monsters"], self.tables["dungeons"]
        self.lists, self.equipments = self.tables["dungeon_monsters"], self.tables["equipments"]
        self.monster_by_id, self.equip_by_id, self.list_by_dungeon = {}, {}, {}
        for m in self.monsters:
            self.monster_by_id.setdefault(m.get("id"), m)
        for e in self.equipments:
            self.equip_by_id.setdefault(e.get("id"), e)
        for entry in self.lists:
            self.list_by_dungeon.setdefault(entry.get("dungeon_id"), entry.get("monsters") or [])

    @staticmethod
    def dungeon_of_monster(monster_id):
        return (monster_id - 1) // MONSTERS_PER_DUNGEON + 1

    @staticmethod
    def reqs(monster):
        return [monster.get(k) for k in ("req_equip1", "req_equip2", "req_equip3")
                if isinstance(monster.get(k), int) and monster.get(k) != 0]

# --------------------------------------------------------------------------- table checks
# Each check yields the mistakes it finds.
def check_tables_load(c):
    yield from c.load_errors

def check_dungeons(c):
    if len(c.dungeons) != DUNGEON_COUNT:
        yield f"{len(c.dungeons)} dungeons, the game has {DUNGEON_COUNT}"
    for i, d in enumerate(c.dungeons):
        yield from check_fields(f"dungeon at position {i}", d, DUNGEON_FIELDS)
        yield from no_blank_texts("dungeon", d, ["name"])
        did, boss, depth = d.get("id"), d.get("boss_id"), d.get("depth")
        if did != i + 1:
            yield (f"dungeon at position {i} has id {did}, should be {i + 1} "
                   "(the map list turns row i into dungeon i + 1)")
        if not isinstance(did, int):
            continue
        if boss != did * MONSTERS_PER_DUNGEON:
            yield f"dungeon {did}: boss_id {boss}, should be the sixth monster of its group ({did * MONSTERS_PER_DUNGEON})"
        elif boss not in c.monster_by_id:
            yield f"dungeon {did}: boss {boss} is not in the monster table"
        if isinstance(depth, int) and depth < PARTY:
            yield f"dungeon {did}: depth {depth} lets the boss come in the very first explore (use at least {PARTY})"

def check_monsters(c):
    expected = len(c.dungeons) * MONSTERS_PER_DUNGEON
    if len(c.monsters) != expected:
        yield f"{len(c.monsters)} monsters, should be six per dungeon ({expected})"
    yield from unique_names("monster", c.monsters)
    for i, m in enumerate(c.monsters):
        yield from check_fields(f"monster at position {i}", m, MONSTER_FIELDS)
        yield from no_blank_texts("monster", m, ["name", "description"])
        mid = m.get("id")
        if mid != i + 1:
            yield (f"monster at position {i} has id {mid}, should be {i + 1} "
                   "(the collection shows entries 6p..6p+5 as dungeon p + 1)")
        if isinstance(m.get("gold"), int) and m["gold"] < 1:
            yield f"monster {mid}: gold {m['gold']}, a hunt should bring at least 1"
        if not isinstance(mid, int):
            continue
        dungeon, reqs = c.dungeon_of_monster(mid), c.reqs(m)
        if len(set(reqs)) != len(reqs):
            yield f"monster {mid}: the same equipment is required twice"
        if dungeon == 1 and reqs:
            yield f"monster {mid}: the first dungeon must need no equipment, asks for {reqs}"
        for r in reqs:
            e = c.equip_by_id.get(r)
            if e is None:
                yield f"monster {mid}: requires equipment {r}, which does not exist"
            elif e.get("type") != 0:
                yield f"monster {mid}: requires equipment {r} of type {e.get('type')}, only type 0 gear is meant to be required"
            elif isinstance(e.get("req_dungeon"), int) and e["req_dungeon"] > dungeon:
                yield (f"monster {mid} (dungeon {dungeon}): requires '{e.get('name')}', "
                       f"which the shop lists only from dungeon {e['req_dungeon']}")

def check_lists(c):
    """Shapes, order and rates of the monster lists."""
    if len(c.lists) != len(c.dungeons):
        yield f"{len(c.lists)} monster lists for {len(c.dungeons)} dungeons"
    for i, lst in enumerate(c.lists):
        yield from check_fields(f"monster list at position {i}", lst, LIST_FIELDS)
        did = lst.get("dungeon_id")
        if did != i + 1:
            yield f"monster list at position {i} is for dungeon {did}, should be {i + 1}"
        total = 0
        for j, e in enumerate(lst.get("monsters") or []):
            yield from check_fields(f"dungeon {did} entry {j}", e, ENTRY_FIELDS)
            rate, where = e.get("rate"), f"dungeon {did} monster {e.get('monster_id')}"
            if not isinstance(rate, float):
                continue
            if rate <= 0:
                yield f"{where}: rate {rate} is never drawn"
                continue
            if abs(rate * 1000 - round(rate * 1000)) > 1e-6:
                yield f"{where}: rate {rate} is not a multiple of 0.001 (the draw works in thousandths)"
            if band(rate) != round(rate * 1000):
                yield f"{where}: rate {rate} is worth only {band(rate)} thousandths in single precision"
            total += band(rate)
        if total != 1000:
            yield f"dungeon {did}: rates add up to {total} thousandths, should be 1000"

def check_list_members(c):
    """Who is listed where, flagged boss or new."""
    for d in c.dungeons:
        did, boss = d.get("id"), d.get("boss_id")
        entries = c.list_by_dungeon.get(did)
        if entries is None:
            yield f"dungeon {did}: no monster list"
            continue
        flagged = [e.get("monster_id") for e in entries if e.get("is_boss") is True]
        if flagged != [boss]:
            yield f"dungeon {did}: entries flagged is_boss {flagged}, should be exactly [{boss}]"
        if entries and entries[0].get("is_boss") is True:
            yield (f"dungeon {did}: the first entry is the boss; unadmitted shares fall to the "
                   "first entry, which must be an ordinary monster")
        if not isinstance(did, int):
            continue
        ids = [e.get("monster_id") for e in entries]
        if len(set(ids)) != len(ids):
            yield f"dungeon {did}: a monster is listed twice"
        for mid in range((did - 1) * MONSTERS_PER_DUNGEON + 1, did * MONSTERS_PER_DUNGEON + 1):
            if mid not in ids:
                yield f"dungeon {did}: its own monster {mid} is missing from its list"
        for e in entries:
            mid = e.get("monster_id")
            if mid not in c.monster_by_id:
                yield f"dungeon {did}: monster {mid} is not in the monster table"
                continue
            home = c.dungeon_of_monster(mid)
            if home == did and e.get("is_new") is not True:
                yield f"dungeon {did}: its own monster {mid} should be marked is_new (the map list counts them for its stars)"
            if home > did:
                yield f"dungeon {did}: monster {mid} belongs to the later dungeon {home}"
            if home != did and e.get("is_new") is not False:
                yield f"dungeon {did}: monster {mid} from dungeon {home} must not be marked is_new"

def check_list_arrival(c):
    """A party arriving in a dungeon owns at least the gear of the bosses it beat.
    The first entry takes every share not yet admitted, and the first new monster
    is the only one admitted in the first explore: both must be beatable then."""
    owned = set()
    for d in c.dungeons:
        did = d.get("id")
        entries = c.list_by_dungeon.get(did) or []
        first = entries[0].get("monster_id") if entries else None
        first_new = next((e.get("monster_id") for e in entries
                          if e.get("is_new") is True and e.get("is_boss") is not True), None)
        for label, mid in (("first entry", first), ("first new monster", first_new)):
            missing = [r for r in c.reqs(c.monster_by_id.get(mid) or {}) if r not in owned]
            if missing:
                yield (f"dungeon {did}: its {label} {mid} needs equipment {missing} that a party "
                       "arriving from the previous boss may not own")
        owned.update(c.reqs(c.monster_by_id.get(d.get("boss_id")) or {}))

def check_equipments(c):
    yield from unique_names("equipment", c.equipments)
    ids = [e.get("id") for e in c.equipments]
    if ids != sorted(set(i for i in ids if isinstance(i, int))) or len(ids) != len(set(ids)):
        yield f"equipment ids must be unique and ascending: {ids}"
    gear = sorted(e.get("id") for e in c.equipments if e.get("type") == 0)
    if gear != list(range(1, len(gear) + 1)):
        yield f"type 0 ids must run 1..n without gaps (they place the strip's icons): {gear}"
    if len(gear) > STRIP_SLOTS:
        yield f"{len(gear)} type 0 items, the strip holds {STRIP_SLOTS}"
    if len(gear) <= ONE_ROW_SLOTS:
        yield f"{len(gear)} type 0 items only fill the first row of the strip"
    dungeon_ids = {d.get("id") for d in c.dungeons}
    required = {r for m in c.monsters for r in c.reqs(m)}
    products = {}
    for i, e in enumerate(c.equipments):
        yield from check_fields(f"equipment at position {i}", e, EQUIP_FIELDS)
        yield from no_blank_texts("equipment", e, ["name", "description"])
        eid, gold, pid, etype = e.get("id"), e.get("gold"), e.get("product_id"), e.get("type")
        grate, srate, monster, num = e.get("gold_rate"), e.get("speed_rate"), e.get("monster"), e.get("num")
        if etype not in (0, 1):
            yield f"equipment {eid}: type {etype}, should be 0 or 1"
        if e.get("req_dungeon") not in dungeon_ids:
            yield f"equipment {eid}: req_dungeon {e.get('req_dungeon')} is not a dungeon"
        if isinstance(monster, int) and isinstance(num, int):
            if monster == 0 and num != 0:
                yield f"equipment {eid}: num {num} without an unlock monster"
            if monster != 0 and monster not in c.monster_by_id:
                yield f"equipment {eid}: unlock monster {monster} does not exist"
            if monster != 0 and num < 1:
                yield f"equipment {eid}: unlock monster {monster} needs num of at least 1"
        if etype == 0 and eid not in required:
            yield f"equipment {eid} '{e.get('name')}': type 0 gear that no monster requires"
        if isinstance(gold, int) and isinstance(pid, str):
            if gold < 1:
                if not re.fullmatch(r"[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+", pid):
                    yield f"equipment {eid}: a store item (gold {gold}) needs a product_id like com.example.game.item, has '{pid}'"
                elif pid in products:
                    yield f"equipment {eid}: product_id '{pid}' already used by {products[pid]}"
                products.setdefault(pid, eid)
                if etype == 0:
                    yield f"equipment {eid}: gear that monsters require must be bought with gold"
            elif pid:
                yield f"equipment {eid}: a gold item must have an empty product_id, has '{pid}'"
        if not isinstance(grate, float) or not isinstance(srate, float):
            continue
        if etype == 0 and (grate > 1.0 or srate > 1.0):
            yield f"equipment {eid}: type 0 items never change the rates, yet has gold_rate {grate} speed_rate {srate}"
        if etype == 1:
            if grate <= 1.0 and srate <= 1.0:
                yield f"equipment {eid}: a bonus item with no rate above 1.0 does nothing"
            if grate < 1.0 or srate < 1.0:
                yield f"equipment {eid}: rates below 1.0 are ignored (use 1.0 for none)"
            if grate > 3.0 or srate > 3.0:
                yield f"equipment {eid}: a rate above 3.0 breaks the pacing"

def check_progression(c):
    """Plays the unlock rules to their end with gold purchases only: every dungeon
    must open, every monster must become beatable and every piece of gear buyable."""
    drawable = {}   # monster -> dungeons where it can be drawn again and again
    for did, entries in c.list_by_dungeon.items():
        for e in entries:
            if isinstance(e.get("rate"), float) and band(e["rate"]) > 0:
                drawable.setdefault(e.get("monster_id"), set()).add(did)
    boss_of = {d.get("id"): d.get("boss_id") for d in c.dungeons}
    buyable = [e for e in c.equipments if isinstance(e.get("gold"), int) and e["gold"] >= 1]
    unlocked, owned, beatable, repeatable = {1}, set(), set(), set()
    changed = True
    while changed:
        changed = False
        for did in sorted(unlocked):
            for mid in [e.get("monster_id") for e in c.list_by_dungeon.get(did) or []] + [boss_of.get(did)]:
                m = c.monster_by_id.get(mid)
                if m and mid not in beatable and all(r in owned for r in c.reqs(m)):
                    beatable.add(mid)
                    changed = True
                if m and mid in beatable and mid not in repeatable and did in drawable.get(mid, ()):
                    repeatable.add(mid)
                    changed = True
            if boss_of.get(did) in beatable and did + 1 in boss_of and did + 1 not in unlocked:
                unlocked.add(did + 1)
                changed = True
        for e in buyable:
            monster, num = e.get("monster"), e.get("num")
            if e.get("id") in owned or e.get("req_dungeon") not in unlocked:
                continue
            if monster and not ((num == 1 and monster in beatable) or monster in repeatable):
                continue
            owned.add(e.get("id"))
            changed = True
    if set(boss_of) - unlocked:
        yield f"dungeons {sorted(set(boss_of) - unlocked)} can never be opened without store items"
    if set(c.monster_by_id) - beatable:
        yield f"monsters {sorted(set(c.monster_by_id) - beatable)} can never be beaten, the collection cannot be completed"
    unbought = sorted(e.get("id") for e in buyable if e.get("id") not in owned)
    if unbought:
        yield f"equipment {unbought} can never be bought"
    for mid in LEADERBOARD_MONSTERS:
        if mid not in repeatable:
            yield f"monster {mid} has a leaderboard but cannot be hunted again and again"

# --------------------------------------------------------------------------- string checks
def check_strings_load(c):
    yield from c.string_errors
    for lang, table in c.strings.items():
        raw = c.string_raw.get(lang)
        if raw is not None and not raw.lstrip().startswith(b"<?xml"):
            yield f"{lang}: not an XML property list"
        try:
            (raw or b"").decode("utf-8")
        except UnicodeDecodeError:
            yield f"{lang}: not UTF-8"
        for key, text in table.items():
            if not isinstance(text, str):
                yield f"{lang} '{key}': value is {kind_name(text)}, should be string"
            elif not text.strip():
                yield f"{lang} '{key}': empty text"
            elif text != text.strip():
                yield f"{lang} '{key}': leading or trailing white space"

def check_string_keys(c):
    all_keys = set().union(*c.strings.values())
    for lang in LANGUAGES:
        if all_keys - set(c.strings[lang]):
            yield f"{lang}: keys missing that other languages have: {sorted(all_keys - set(c.strings[lang]))}"
        if set(REQUIRED_KEYS) - set(c.strings[lang]):
            yield f"{lang}: keys the game looks up are missing: {sorted(set(REQUIRED_KEYS) - set(c.strings[lang]))}"

def check_formats(c):
    """Each text takes exactly the arguments the game passes for its key, in every
    language the same as in English."""
    for lang in LANGUAGES:
        for key, text in sorted(c.strings[lang].items()):
            if not isinstance(text, str):
                continue
            signature, problems = format_signature(text)
            yield from (f"{lang} '{key}': {p}" for p in problems)
            expected = REQUIRED_KEYS.get(key)
            if signature is None or expected is None:
                pass
            elif expected == [] and "%" in text:
                yield f"{lang} '{key}': plain text must not contain '%' (it is not formatted)"
            elif signature != expected:
                yield f"{lang} '{key}': takes {describe(signature)}, the game passes {describe(expected)}"
            english = c.strings["en"].get(key)
            if lang != "en" and isinstance(english, str) and format_signature(english)[0] != signature:
                yield (f"'{key}': en takes {describe(format_signature(english)[0])}, "
                       f"{lang} takes {describe(signature)}")

def check_build_copy(c, build):
    """The build folder's resources are the ones in the checkout (None: not built)."""
    target = os.path.join(build, "resources")
    if not os.path.isdir(target):
        return None
    files = [os.path.join("tables", n + ".plist") for n in TABLES]
    files += [os.path.join("strings", lang + ".lproj", "Localizable.strings") for lang in LANGUAGES]
    files = [f for f in files if os.path.exists(os.path.join(c.source, "resources", f))]
    return [f"{f}: the build copy is missing or differs from the checkout (rebuild)" for f in files
            if not os.path.exists(os.path.join(target, f))
            or not filecmp.cmp(os.path.join(c.source, "resources", f), os.path.join(target, f), shallow=False)]

# --------------------------------------------------------------------------- self-test
def _entry(c, dungeon_id, monster_id):
    return next(e for e in c.list_by_dungeon[dungeon_id] if e["monster_id"] == monster_id)

def _swap(rows, i, j):
    rows[i], rows[j] = rows[j], rows[i]

def _gear_cycle(c):
    gear = c.equip_by_id[c.reqs(c.monster_by_id[36])[-1]]
    gear["monster"], gear["num"] = 36, 1

def _lose(text):
    return lambda c: c.strings["zh-Hans"].update(FormatLogLose=text)


# (what is planted, the change, a piece of the message that must report it; None = must still pass)
PLANTED = [
    ("a rate off the thousandths", lambda c: _entry(c, 1, 1).update(rate=_entry(c, 1, 1)["rate"] + 0.0005),
     "not a multiple of 0.001"),
    ("rates adding up to 0.99", lambda c: _entry(c, 2, 7).update(rate=_entry(c, 2, 7)["rate"] - 0.01),
     "dungeon 2: rates add up to 990"),
    ("a rate written as an integer", lambda c: _entry(c, 1, 1).update(rate=1), "field 'rate' is integer"),
    ("a flag written as an integer", lambda c: _entry(c, 1, 1).update(is_new=1), "field 'is_new' is integer"),
    ("two dungeons swapped", lambda c: _swap(c.dungeons, 1, 2), "dungeon at position 1 has id 3"),
    ("a boss that is not the sixth of its group", lambda c: c.dungeons[2].update(boss_id=17),
     "dungeon 3: boss_id 17"),
    ("the boss flag on an ordinary monster", lambda c: _entry(c, 3, 17).update(is_boss=True),
     "flagged is_boss [17, 18]"),
    ("an older monster marked new", lambda c: c.list_by_dungeon[4][0].update(is_new=True),
     "must not be marked is_new"),
    ("a misspelt field", lambda c: c.monsters[4].update(req_equp1=c.monsters[4].pop("req_equip1")),
     "unknown field 'req_equp1'"),
    ("a requirement on gear listed only later",
     lambda c: c.monster_by_id[20].update(req_equip3=c.reqs(c.monster_by_id[60])[0]),
     "which the shop lists only from dungeon"),
    ("a requirement on a bonus item",
     lambda c: c.monster_by_id[20].update(req_equip3=next(e["id"] for e in c.equipments if e["type"] == 1)),
     "only type 0 gear is meant to be required"),
    ("a first draw the arriving party cannot beat",
     lambda c: c.monster_by_id[c.list_by_dungeon[5][0]["monster_id"]].update(req_equip3=c.reqs(c.monster_by_id[30])[-1]),
     "arriving from the previous boss"),
    ("gear that needs a hunt of the boss it is for", _gear_cycle, "can never be beaten"),
    ("a store item without a product id",
     lambda c: next(e for e in c.equipments if e["gold"] < 1).update(product_id=""), "needs a product_id"),
    ("a missing key in one language", lambda c: c.strings["ja"].pop("NoGold"), "ja: keys missing that other"),
    ("a missing key in every language", lambda c: [c.strings[lang].pop("LeftTime") for lang in LANGUAGES],
     "en: keys the game looks up are missing: ['LeftTime']"),
    ("arguments swapped without positions", _lose("%@打败了队员%u。"), "zh-Hans 'FormatLogLose': takes text"),
    ("arguments swapped without positions, against English", _lose("%@打败了队员%u。"),
     "'FormatLogLose': en takes unsigned, text, zh-Hans takes text"),
    ("a long conversion where the game passes an int",
     lambda c: c.strings["en"].update(FormatUnlockCondition="Hunt %@ %lu times (%d to go)."), "(l modifier)"),
    ("a lone percent sign in plain text", lambda c: c.strings["en"].update(Post1="100% fun!"),
     "en 'Post1': plain text must not contain '%'"),
    ("positional arguments that reorder (allowed)", _lose("%2$@打败了队员%1$u。"), None),
]

def self_test(content):
    """Plants known mistakes in copies of the content; each must be reported by the checks."""
    for what, change, expected in PLANTED:
        c = copy.deepcopy(content)
        change(c)
        c.reindex()
        found = [e for _, check in CHECKS[:-1] for e in check(c)]
        if expected is None and found:
            yield f"wrongly rejected: {what}: {found[0]}"
        elif expected is not None and not any(expected in e for e in found):
            yield f"missed: {what} (no message with \"{expected}\")"

CHECKS = [
    ("tables load as arrays of dictionaries", check_tables_load),
    ("dungeons: ten in id order, fields, boss is the sixth monster of its group, depth", check_dungeons),
    ("monsters: six per dungeon in order, fields, names, gold, required gear", check_monsters),
    ("dungeon_monsters: one list per dungeon, fields, rates are thousandths adding up to 1", check_lists),
    ("dungeon_monsters: the boss flagged once, own monsters new, older ones not", check_list_members),
    ("dungeon_monsters: a newly arrived party can beat the first draws", check_list_arrival),
    ("equipments: fields, ids, strip, prices, store products, rates, unlocks", check_equipments),
    ("progression: every dungeon, monster and item is reachable with gold", check_progression),
    ("strings: three XML tables of non-empty UTF-8 texts", check_strings_load),
    ("strings: the same keys in every language, every key the game looks up", check_string_keys),
    ("strings: formats take the game's arguments, the same in every language", check_formats),
    ("self-test: the checks catch planted mistakes", self_test),
]

def main(argv):
    if len(argv) < 2:
        print("usage: check_content.py <source_dir> [<build_dir>]")
        return 2
    content = Content(argv[1])
    results = []
    for name, check in CHECKS:
        try:
            results.append((name, list(check(content))))
        except Exception as e:  # noqa: BLE001 - a crash is reported as that check failing
            results.append((name, [f"the check itself failed: {type(e).__name__}: {e}"]))
    copy_errors = check_build_copy(content, argv[2]) if len(argv) > 2 else None
    if copy_errors is None:
        print("SKIP build copy of the tables and strings (no resources in the build folder)")
    else:
        results.append(("build copy of the tables and strings", copy_errors))
    for name, errors in results:
        print(f"{'FAIL' if errors else 'PASS'} {name}")
        for error in errors:
            print(f"     {error}")
    failed = sum(1 for _, errors in results if errors)
    print(f"{len(results) - failed} passed, {failed} failed" + (", 1 skipped" if copy_errors is None else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
