#!/usr/bin/env python3
"""Checks the game's content, the four static tables and the string tables: check_content.py <source_dir> [<build_dir>].
Prints PASS or FAIL per check with its mistakes, then "N passed, M failed" (", 1 skipped" without a build copy)."""
import copy
import filecmp
import os
import pathlib
import plistlib
import re
import sys
from ctypes import c_float

MONSTERS_PER_DUNGEON, DUNGEON_COUNT, PARTY = 6, 10, 20
STRIP_SLOTS, ONE_ROW_SLOTS = 27, 15  # icons in the equipment strip's two rows; more type-0 items switch to two rows
LANGUAGES = ["en", "ja", "zh-Hans"]
LEADERBOARD_MONSTERS = [1, 17]
TABLES = ("monsters", "dungeons", "dungeon_monsters", "equipments")
MONSTER_FIELDS = {"id": int, "name": str, "gold": int, "description": str, "req_equip1": int, "req_equip2": int, "req_equip3": int}
DUNGEON_FIELDS = {"id": int, "name": str, "boss_id": int, "depth": int}
LIST_FIELDS = {"dungeon_id": int, "monsters": list}
ENTRY_FIELDS = {"monster_id": int, "is_boss": bool, "is_new": bool, "rate": float}
EQUIP_FIELDS = {"id": int, "name": str, "description": str, "type": int, "gold": int, "product_id": str, "req_dungeon": int,
                "monster": int, "num": int, "gold_rate": float, "speed_rate": float}
# Every key the game looks up, with the arguments it fills a format with, by position:
# "@" text, "u" unsigned integer, "d" signed integer, "f" double. [] = plain text.
REQUIRED_KEYS = {
    "FormatStartBodyLong": ["u", "u"], "FormatStartBody": ["u", "u"], "FormatStartBodyMin": ["u"], "FormatStartBodySec": ["u"],
    "PostBonusLeft": ["@"], "FormatStageBoss": ["@"], "FormatStageMonster": ["d"], "FormatMapUnlock": ["u"], "FormatSuspend": ["@"],
    "FormatLogLose": ["u", "@"], "FormatLogEquip": ["@", "@"], "FormatUnlockCondition": ["@", "u", "d"], "FormatBuyTitle": ["@"],
    "FormatBuyGoldItem": ["f"], "FormatBuySpeedItem": ["f"],
    **dict.fromkeys((
        "Notification NotificationLong Suspend SwipeTutorial Explore2Tutorial MemberAdded AppClose LeftTime BossHunted CancelButton "
        "RemindButton RateButton RateTitle RateBody PostBonus PostBonusMax Cancel ToTwitter Post1 Post2 Post3 AppUrl PostSucceed "
        "TwitterAlertTitle TwitterAlertBody FirstKanoke UnlockedShop UnlockedNewMap MangaNewDungeon MangaNewWeapons ChatTitle SavedPicture "
        "NotifyLabel PushSoundSetting PurchasedKana Purchased NoGold PurchaseErrorTitle PurchaseErrorBody PurchaseErrorInvalid "
        "PurchaseErrorRequest PurchaseRestoreTitle PurchaseRestoreBody AlertMsgTimeOut BuyEquip "
        "StoreSheetTitle StoreSheetBuy StoreSheetCancel StoreSheetSandbox StoreErrorFailed StoreErrorCancelled StoreErrorNotAllowed "
        "StoreErrorInvalid").split(), []),
}
KIND_NAMES = {int: "integer", float: "real", bool: "boolean", str: "string", list: "array", dict: "dictionary"}


def kind_name(value): return KIND_NAMES.get(type(value), type(value).__name__)


def band(rate):
    """Per-mille band of a rate as the weighted draw computes it: single-precision rate times 1000, truncated."""
    return max(0, int(c_float(c_float(rate).value * c_float(1000.0).value).value))


def check_fields(where, record, fields):
    if not isinstance(record, dict):
        return [f"{where}: not a dictionary"]
    # bool is not an integer here, nor an integer a real
    return ([f"{where}: field '{k}' is missing" for k in fields if k not in record]
            + [f"{where}: field '{k}' is {kind_name(record[k])}, should be {KIND_NAMES[t]}"
               for k, t in fields.items() if k in record and type(record[k]) is not t]
            + [f"{where}: unknown field '{k}'" for k in record if k not in fields])


def no_blank_texts(what, record, keys):
    return [f"{what} {record.get('id')}: empty {k}" for k in keys if isinstance(record.get(k), str) and not record[k].strip()]


def unique_names(what, records):
    first = {}  # name -> the first record's position and id
    return [f"{what} {r.get('id')}: name '{r['name']}' already used by {what} {first[r['name']][1]}" for i, r in enumerate(records)
            if isinstance(r.get("name"), str) and first.setdefault(r["name"], (i, r.get("id")))[0] != i]


def load_plist(path, root_type, what):
    """(value, raw bytes, error); the value is an empty root_type() on error."""
    try:
        value = plistlib.loads(raw := pathlib.Path(path).read_bytes())
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
CONVERSION = re.compile(r"%(?:(?P<pos>\d+)\$)?(?P<flags>[-+ #0']*)(?P<width>\d+|\*)?(?:\.(?P<prec>\d*|\*))?"
                        r"(?P<len>hh|h|ll|l|q|L|z|t|j)?(?P<conv>.?)", re.S)
KINDS = {**dict.fromkeys("@", "@"), **dict.fromkeys("di", "d"), **dict.fromkeys("uxXo", "u"),
         **dict.fromkeys("fFeEgGaA", "f"), **dict.fromkeys("cC", "c"), **dict.fromkeys("sS", "s")}
ARGUMENT_NAMES = {"@": "text", "u": "unsigned", "d": "signed", "f": "double", "c": "char", "s": "C string"}


def format_signature(text):
    """(argument kinds by position or None when unusable, list of errors)."""
    errors, specs = [], []
    for m in CONVERSION.finditer(text):
        whole, conv = m.group(0), m.group("conv")
        if whole == "%%":
            continue
        problem = ("write a percent sign as %%" if conv == "%" else "not a conversion the game formats" if conv not in KINDS
                   else "'*' widths take an argument the game does not give" if "*" in (m.group("width"), m.group("prec")) else None)
        if problem:
            errors.append(f"'{whole}': {problem}")
        else:
            specs.append((int(m.group("pos")) if m.group("pos") else None, KINDS[conv] + (m.group("len") or "")))
    positional = [s for s in specs if s[0] is not None]
    if not positional:
        return [s[1] for s in specs], errors
    if len(positional) != len(specs):
        return None, errors + ["mixes positional (%1$@) and plain conversions"]
    by_pos = {}
    for pos, kind in specs:
        if by_pos.setdefault(pos, kind) != kind:
            errors.append(f"argument {pos} is used as two kinds")
    if 0 in by_pos or len(by_pos) != max(by_pos):
        return None, errors + [f"positional arguments must be numbered 1 to {max(by_pos)} without gaps"]
    return [by_pos[p] for p in range(1, max(by_pos) + 1)], errors


def describe(signature):
    return ", ".join(ARGUMENT_NAMES[k[0]] + (f" ({k[1:]} modifier)" if k[1:] else "") for k in signature or []) or "no argument"


# --------------------------------------------------------------------------- content
class Content:
    def __init__(self, source):
        self.source, res = source, os.path.join(source, "resources")
        tables = {n: load_plist(os.path.join(res, "tables", n + ".plist"), list, n + ".plist") for n in TABLES}
        strings = {lang: load_plist(os.path.join(res, "strings", lang + ".lproj", "Localizable.strings"), dict, lang)
                   for lang in LANGUAGES}
        self.tables = {n: v for n, (v, _, _) in tables.items()}
        self.strings = {lang: v for lang, (v, _, _) in strings.items()}
        self.string_raw = {lang: raw for lang, (_, raw, _) in strings.items()}
        self.load_errors = [e for _, _, e in tables.values() if e]
        self.string_errors = [e for _, _, e in strings.values() if e]
        self.reindex()

    def reindex(self):
        """Builds the lookups (the first record of a repeated id wins); call again after changing the tables."""
        self.monsters, self.dungeons, self.lists, self.equipments = (self.tables[n] for n in TABLES)
        self.monster_by_id = {m.get("id"): m for m in reversed(self.monsters)}
        self.equip_by_id = {e.get("id"): e for e in reversed(self.equipments)}
        self.list_by_dungeon = {entry.get("dungeon_id"): entry.get("monsters") or [] for entry in reversed(self.lists)}

    @staticmethod
    def dungeon_of_monster(monster_id):
        return (monster_id - 1) // MONSTERS_PER_DUNGEON + 1

    @staticmethod
    def reqs(monster):
        return [monster.get(k) for k in ("req_equip1", "req_equip2", "req_equip3") if isinstance(monster.get(k), int) and monster.get(k) != 0]


# --------------------------------------------------------------------------- table checks (each yields its mistakes)
def flagged(*pairs):
    """The messages of the (condition, message) pairs whose condition holds."""
    return [message for condition, message in pairs if condition]


def check_tables_load(c):
    """tables load as arrays of dictionaries"""
    yield from c.load_errors


def check_dungeons(c):
    """dungeons: ten in id order, fields, boss is the sixth monster of its group, depth"""
    yield from flagged((len(c.dungeons) != DUNGEON_COUNT, f"{len(c.dungeons)} dungeons, the game has {DUNGEON_COUNT}"))
    for i, d in enumerate(c.dungeons):
        did, boss, depth = d.get("id"), d.get("boss_id"), d.get("depth")
        sixth = did * MONSTERS_PER_DUNGEON if isinstance(did, int) else None
        yield from check_fields(f"dungeon at position {i}", d, DUNGEON_FIELDS) + no_blank_texts("dungeon", d, ["name"]) + flagged(
            (did != i + 1, f"dungeon at position {i} has id {did}, should be {i + 1} (the map list turns row i into dungeon i + 1)"),
            (sixth is not None and boss != sixth, f"dungeon {did}: boss_id {boss}, should be the sixth monster of its group ({sixth})"),
            (sixth is not None and boss == sixth and boss not in c.monster_by_id, f"dungeon {did}: boss {boss} is not in the monster table"),
            (sixth is not None and isinstance(depth, int) and depth < PARTY,
             f"dungeon {did}: depth {depth} lets the boss come in the very first explore (use at least {PARTY})"))


def check_monsters(c):
    """monsters: six per dungeon in order, fields, names, gold, required gear"""
    expected = len(c.dungeons) * MONSTERS_PER_DUNGEON
    yield from flagged((len(c.monsters) != expected, f"{len(c.monsters)} monsters, should be six per dungeon ({expected})"))
    yield from unique_names("monster", c.monsters)
    for i, m in enumerate(c.monsters):
        mid, gold, reqs = m.get("id"), m.get("gold"), c.reqs(m)
        dungeon = c.dungeon_of_monster(mid) if isinstance(mid, int) else None
        yield from check_fields(f"monster at position {i}", m, MONSTER_FIELDS) + no_blank_texts("monster", m, ["name", "description"]) + flagged(
            (mid != i + 1, f"monster at position {i} has id {mid}, should be {i + 1} (the collection shows entries 6p..6p+5 as dungeon p + 1)"),
            (isinstance(gold, int) and gold < 1, f"monster {mid}: gold {gold}, a hunt should bring at least 1"),
            (dungeon is not None and len(set(reqs)) != len(reqs), f"monster {mid}: the same equipment is required twice"),
            (dungeon == 1 and reqs, f"monster {mid}: the first dungeon must need no equipment, asks for {reqs}"))
        for r, e in ((r, c.equip_by_id.get(r) or {}) for r in reqs if dungeon is not None):
            yield from flagged(
                (not e, f"monster {mid}: requires equipment {r}, which does not exist"),
                (e and e.get("type") != 0, f"monster {mid}: requires equipment {r} of type {e.get('type')}, only type 0 gear is meant to be required"),
                (e.get("type") == 0 and isinstance(e.get("req_dungeon"), int) and e["req_dungeon"] > dungeon,
                 f"monster {mid} (dungeon {dungeon}): requires '{e.get('name')}', which the shop lists only from dungeon {e.get('req_dungeon')}"))


def check_lists(c):
    """dungeon_monsters: one list per dungeon, fields, rates are thousandths adding up to 1"""
    yield from flagged((len(c.lists) != len(c.dungeons), f"{len(c.lists)} monster lists for {len(c.dungeons)} dungeons"))
    for i, lst in enumerate(c.lists):
        did = lst.get("dungeon_id")
        yield from check_fields(f"monster list at position {i}", lst, LIST_FIELDS) + flagged(
            (did != i + 1, f"monster list at position {i} is for dungeon {did}, should be {i + 1}"))
        for j, e in enumerate(lst.get("monsters") or []):
            rate, where = e.get("rate"), f"dungeon {did} monster {e.get('monster_id')}"
            drawn = isinstance(rate, float) and rate > 0
            yield from check_fields(f"dungeon {did} entry {j}", e, ENTRY_FIELDS) + flagged(
                (isinstance(rate, float) and rate <= 0, f"{where}: rate {rate} is never drawn"),
                (drawn and abs(rate * 1000 - round(rate * 1000)) > 1e-6, f"{where}: rate {rate} is not a multiple of 0.001 (the draw works in thousandths)"),
                (drawn and band(rate) != round(rate * 1000), f"{where}: rate {rate} is worth only {drawn and band(rate)} thousandths in single precision"))
        total = sum(band(e["rate"]) for e in lst.get("monsters") or [] if isinstance(e.get("rate"), float) and e["rate"] > 0)
        yield from flagged((total != 1000, f"dungeon {did}: rates add up to {total} thousandths, should be 1000"))


def check_list_members(c):
    """dungeon_monsters: the boss flagged once, own monsters new, older ones not"""
    for d in c.dungeons:
        did, boss, entries = d.get("id"), d.get("boss_id"), c.list_by_dungeon.get(d.get("id"))
        if entries is None:
            yield f"dungeon {did}: no monster list"
            continue
        flags, ids = [e.get("monster_id") for e in entries if e.get("is_boss") is True], [e.get("monster_id") for e in entries]
        known = isinstance(did, int)
        own = range((did - 1) * MONSTERS_PER_DUNGEON + 1, did * MONSTERS_PER_DUNGEON + 1) if known else []
        yield from flagged(
            (flags != [boss], f"dungeon {did}: entries flagged is_boss {flags}, should be exactly [{boss}]"),
            (entries and entries[0].get("is_boss") is True,
             f"dungeon {did}: the first entry is the boss; unadmitted shares fall to the first entry, which must be an ordinary monster"),
            (known and len(set(ids)) != len(ids), f"dungeon {did}: a monster is listed twice"),
            *((mid not in ids, f"dungeon {did}: its own monster {mid} is missing from its list") for mid in own))
        for e, mid in ((e, e.get("monster_id")) for e in entries if known):
            home = c.dungeon_of_monster(mid) if mid in c.monster_by_id else None
            yield from flagged(
                (home is None, f"dungeon {did}: monster {mid} is not in the monster table"),
                (home == did and e.get("is_new") is not True, f"dungeon {did}: its own monster {mid} should be marked is_new (the map list counts them for its stars)"),
                (home and home > did, f"dungeon {did}: monster {mid} belongs to the later dungeon {home}"),
                (home and home != did and e.get("is_new") is not False, f"dungeon {did}: monster {mid} from dungeon {home} must not be marked is_new"))


def check_list_arrival(c):
    """dungeon_monsters: a newly arrived party can beat the first draws.
    A party arriving in a dungeon owns at least the gear of the bosses it beat. The first entry takes every share not
    yet admitted, and the first new monster is the only one admitted in the first explore: both must be beatable then."""
    owned = set()
    for d in c.dungeons:
        entries = c.list_by_dungeon.get(d.get("id")) or []
        first = entries[0].get("monster_id") if entries else None
        first_new = next((e.get("monster_id") for e in entries if e.get("is_new") is True and e.get("is_boss") is not True), None)
        for label, mid in (("first entry", first), ("first new monster", first_new)):
            missing = [r for r in c.reqs(c.monster_by_id.get(mid) or {}) if r not in owned]
            yield from flagged((missing, f"dungeon {d.get('id')}: its {label} {mid} needs equipment {missing} that a party arriving from the previous boss may not own"))
        owned.update(c.reqs(c.monster_by_id.get(d.get("boss_id")) or {}))


def check_equipments(c):
    """equipments: fields, ids, strip, prices, store products, rates, unlocks"""
    ids = [e.get("id") for e in c.equipments]
    gear = sorted(e.get("id") for e in c.equipments if e.get("type") == 0)
    yield from unique_names("equipment", c.equipments)
    yield from flagged(
        (ids != sorted(set(i for i in ids if isinstance(i, int))) or len(ids) != len(set(ids)), f"equipment ids must be unique and ascending: {ids}"),
        (gear != list(range(1, len(gear) + 1)), f"type 0 ids must run 1..n without gaps (they place the strip's icons): {gear}"),
        (len(gear) > STRIP_SLOTS, f"{len(gear)} type 0 items, the strip holds {STRIP_SLOTS}"),
        (len(gear) <= ONE_ROW_SLOTS, f"{len(gear)} type 0 items only fill the first row of the strip"))
    dungeon_ids, required, products = {d.get("id") for d in c.dungeons}, {r for m in c.monsters for r in c.reqs(m)}, {}
    for i, e in enumerate(c.equipments):
        eid, gold, pid, etype = e.get("id"), e.get("gold"), e.get("product_id"), e.get("type")
        grate, srate, monster, num = e.get("gold_rate"), e.get("speed_rate"), e.get("monster"), e.get("num")
        unlock = isinstance(monster, int) and isinstance(num, int)
        store = isinstance(gold, int) and isinstance(pid, str) and gold < 1
        rates = (grate, srate) if isinstance(grate, float) and isinstance(srate, float) else (1.0, 1.0)
        bonus = etype == 1 and isinstance(grate, float) and isinstance(srate, float)
        yield from check_fields(f"equipment at position {i}", e, EQUIP_FIELDS) + no_blank_texts("equipment", e, ["name", "description"]) + flagged(
            (etype not in (0, 1), f"equipment {eid}: type {etype}, should be 0 or 1"),
            (e.get("req_dungeon") not in dungeon_ids, f"equipment {eid}: req_dungeon {e.get('req_dungeon')} is not a dungeon"),
            (unlock and monster == 0 and num != 0, f"equipment {eid}: num {num} without an unlock monster"),
            (unlock and monster != 0 and monster not in c.monster_by_id, f"equipment {eid}: unlock monster {monster} does not exist"),
            (unlock and monster != 0 and num < 1, f"equipment {eid}: unlock monster {monster} needs num of at least 1"),
            (etype == 0 and eid not in required, f"equipment {eid} '{e.get('name')}': type 0 gear that no monster requires"),
            (store and not re.fullmatch(r"[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+", pid),
             f"equipment {eid}: a store item (gold {gold}) needs a product_id like com.example.game.item, has '{pid}'"),
            (store and re.fullmatch(r"[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+", pid) and pid in products,
             f"equipment {eid}: product_id '{pid}' already used by {products.get(pid)}"),
            (store and etype == 0, f"equipment {eid}: gear that monsters require must be bought with gold"),
            (isinstance(gold, int) and gold >= 1 and pid, f"equipment {eid}: a gold item must have an empty product_id, has '{pid}'"),
            (etype == 0 and max(rates) > 1.0, f"equipment {eid}: type 0 items never change the rates, yet has gold_rate {grate} speed_rate {srate}"),
            (bonus and max(rates) <= 1.0, f"equipment {eid}: a bonus item with no rate above 1.0 does nothing"),
            (bonus and min(rates) < 1.0, f"equipment {eid}: rates below 1.0 are ignored (use 1.0 for none)"),
            (bonus and max(rates) > 3.0, f"equipment {eid}: a rate above 3.0 breaks the pacing"))
        if store:
            products.setdefault(pid, eid)


def check_progression(c):
    """progression: every dungeon, monster and item is reachable with gold.
    Plays the unlock rules to their end with gold purchases only: every dungeon must open, every monster must
    become beatable and every piece of gear buyable."""
    drawable = {}  # monster -> dungeons where it can be drawn again and again
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
            if e.get("id") not in owned and e.get("req_dungeon") in unlocked and (
                    not monster or (num == 1 and monster in beatable) or monster in repeatable):
                owned.add(e.get("id"))
                changed = True
    unbought = sorted(e.get("id") for e in buyable if e.get("id") not in owned)
    yield from flagged(
        (set(boss_of) - unlocked, f"dungeons {sorted(set(boss_of) - unlocked)} can never be opened without store items"),
        (set(c.monster_by_id) - beatable, f"monsters {sorted(set(c.monster_by_id) - beatable)} can never be beaten, the collection cannot be completed"),
        (unbought, f"equipment {unbought} can never be bought"),
        *((mid not in repeatable, f"monster {mid} has a leaderboard but cannot be hunted again and again") for mid in LEADERBOARD_MONSTERS))


# --------------------------------------------------------------------------- string checks
def check_strings_load(c):
    """strings: three XML tables of non-empty UTF-8 texts"""
    yield from c.string_errors
    for lang, table in c.strings.items():
        raw = c.string_raw.get(lang) or b""
        yield from flagged((raw and not raw.lstrip().startswith(b"<?xml"), f"{lang}: not an XML property list"),
                           (raw.decode("utf-8", "replace").encode("utf-8") != raw, f"{lang}: not UTF-8"))
        for key, text in table.items():
            yield from flagged((not isinstance(text, str), f"{lang} '{key}': value is {kind_name(text)}, should be string"),
                               (isinstance(text, str) and not text.strip(), f"{lang} '{key}': empty text"),
                               (isinstance(text, str) and text.strip() and text != text.strip(), f"{lang} '{key}': leading or trailing white space"))


def check_string_keys(c):
    """strings: the same keys in every language, every key the game looks up"""
    all_keys = set().union(*c.strings.values())
    for lang in LANGUAGES:
        yield from flagged((all_keys - set(c.strings[lang]), f"{lang}: keys missing that other languages have: {sorted(all_keys - set(c.strings[lang]))}"),
                           (set(REQUIRED_KEYS) - set(c.strings[lang]),
                            f"{lang}: keys the game looks up are missing: {sorted(set(REQUIRED_KEYS) - set(c.strings[lang]))}"))


def check_formats(c):
    """strings: formats take the game's arguments, the same in every language"""
    for lang in LANGUAGES:
        for key, text in sorted(c.strings[lang].items()):
            if not isinstance(text, str):
                continue
            signature, problems = format_signature(text)
            yield from (f"{lang} '{key}': {p}" for p in problems)
            expected, english = REQUIRED_KEYS.get(key), c.strings["en"].get(key)
            theirs = format_signature(english)[0] if lang != "en" and isinstance(english, str) else signature
            yield from flagged(
                (signature is not None and expected == [] and "%" in text, f"{lang} '{key}': plain text must not contain '%' (it is not formatted)"),
                (signature is not None and expected and signature != expected, f"{lang} '{key}': takes {describe(signature)}, the game passes {describe(expected)}"),
                (theirs != signature, f"'{key}': en takes {describe(theirs)}, {lang} takes {describe(signature)}"))


def check_build_copy(c, build):
    """The build folder's resources are the ones in the checkout (None: not built)."""
    if not os.path.isdir(os.path.join(build, "resources")):
        return None
    files = [os.path.join("tables", n + ".plist") for n in TABLES]
    files += [os.path.join("strings", lang + ".lproj", "Localizable.strings") for lang in LANGUAGES]
    pairs = [(os.path.join(c.source, "resources", f), os.path.join(build, "resources", f), f) for f in files]
    return [f"{f}: the build copy is missing or differs from the checkout (rebuild)" for ours, theirs, f in pairs
            if os.path.exists(ours) and (not os.path.exists(theirs) or not filecmp.cmp(ours, theirs, shallow=False))]


# --------------------------------------------------------------------------- self-test
def _entry(c, dungeon_id, monster_id):
    return next(e for e in c.list_by_dungeon[dungeon_id] if e["monster_id"] == monster_id)


def _lose(text):
    return lambda c: c.strings["zh-Hans"].update(FormatLogLose=text)


# (what is planted, the change, a piece of the message that must report it; None = must still pass)
PLANTED = [
    ("a rate off the thousandths", lambda c: _entry(c, 1, 1).update(rate=_entry(c, 1, 1)["rate"] + 0.0005), "not a multiple of 0.001"),
    ("rates adding up to 0.99", lambda c: _entry(c, 2, 7).update(rate=_entry(c, 2, 7)["rate"] - 0.01), "dungeon 2: rates add up to 990"),
    ("a rate written as an integer", lambda c: _entry(c, 1, 1).update(rate=1), "field 'rate' is integer"),
    ("a flag written as an integer", lambda c: _entry(c, 1, 1).update(is_new=1), "field 'is_new' is integer"),
    ("two dungeons swapped", lambda c: c.dungeons.insert(1, c.dungeons.pop(2)), "dungeon at position 1 has id 3"),
    ("a boss that is not the sixth of its group", lambda c: c.dungeons[2].update(boss_id=17), "dungeon 3: boss_id 17"),
    ("the boss flag on an ordinary monster", lambda c: _entry(c, 3, 17).update(is_boss=True), "flagged is_boss [17, 18]"),
    ("an older monster marked new", lambda c: c.list_by_dungeon[4][0].update(is_new=True), "must not be marked is_new"),
    ("a misspelt field", lambda c: c.monsters[4].update(req_equp1=c.monsters[4].pop("req_equip1")), "unknown field 'req_equp1'"),
    ("a requirement on gear listed only later", lambda c: c.monster_by_id[20].update(req_equip3=c.reqs(c.monster_by_id[60])[0]), "lists only from dungeon"),
    ("a requirement on a bonus item", lambda c: c.monster_by_id[20].update(req_equip3=next(e["id"] for e in c.equipments if e["type"] == 1)),
     "only type 0 gear is meant to be required"),
    ("a first draw the arriving party cannot beat",
     lambda c: c.monster_by_id[c.list_by_dungeon[5][0]["monster_id"]].update(req_equip3=c.reqs(c.monster_by_id[30])[-1]),
     "arriving from the previous boss"),
    ("gear that needs a hunt of the boss it is for", lambda c: c.equip_by_id[c.reqs(c.monster_by_id[36])[-1]].update(monster=36, num=1), "can never be beaten"),
    ("a store item without a product id", lambda c: next(e for e in c.equipments if e["gold"] < 1).update(product_id=""), "needs a product_id"),
    ("a missing key in one language", lambda c: c.strings["ja"].pop("NoGold"), "ja: keys missing that other"),
    ("a missing key in every language", lambda c: [t.pop("LeftTime") for t in c.strings.values()], "en: keys the game looks up are missing: ['LeftTime']"),
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
    """self-test: the checks catch planted mistakes"""
    for what, change, expected in PLANTED:
        c = copy.deepcopy(content)
        change(c)
        c.reindex()
        found = [e for check in CHECKS[:-1] for e in check(c)]
        yield from flagged((expected is None and found, f"wrongly rejected: {what}: {found[:1]}"),
                           (expected is not None and not any(expected in e for e in found), f"missed: {what} (no message with \"{expected}\")"))


CHECKS = [check_tables_load, check_dungeons, check_monsters, check_lists, check_list_members, check_list_arrival, check_equipments,
          check_progression, check_strings_load, check_string_keys, check_formats, self_test]  # named by their docstrings' first line


def main(argv):
    if len(argv) < 2:
        print("usage: check_content.py <source_dir> [<build_dir>]")
        return 2
    content, results = Content(argv[1]), []
    for check in CHECKS:
        name = check.__doc__.split("\n")[0].rstrip(".")
        try:
            results.append((name, list(check(content))))
        except Exception as e:  # noqa: BLE001 - a crash is reported as that check failing
            results.append((name, [f"the check itself failed: {type(e).__name__}: {e}"]))
    copy_errors = check_build_copy(content, argv[2]) if len(argv) > 2 else None
    results += [("build copy of the tables and strings", copy_errors)] if copy_errors is not None else []
    if copy_errors is None:
        print("SKIP build copy of the tables and strings (no resources in the build folder)")
    for name, errors in results:
        print(f"{'FAIL' if errors else 'PASS'} {name}" + "".join(f"\n     {error}" for error in errors))
    failed = sum(1 for _, errors in results if errors)
    print(f"{len(results) - failed} passed, {failed} failed" + (", 1 skipped" if copy_errors is None else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
