#!/usr/bin/env python3
"""Writes the four static tables, the monster art sheet and the string tables
from content_data.py and strings_data.py.

Usage: python3 tools/content/generate.py [source_dir]
(source_dir defaults to the checkout this script lives in)
"""
import os
import plistlib
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import content_data as data  # noqa: E402
import strings_data  # noqa: E402

MONSTERS_PER_DUNGEON = 6


def build_dungeons():
    out = []
    for index, (name, depth) in enumerate(data.DUNGEONS):
        dungeon_id = index + 1
        out.append({
            "id": dungeon_id,
            "name": name,
            "boss_id": dungeon_id * MONSTERS_PER_DUNGEON,
            "depth": depth,
        })
    return out


def build_monsters():
    out = []
    for index, (name, gold, reqs, description, _brief) in enumerate(data.MONSTERS):
        reqs = list(reqs) + [0] * (3 - len(reqs))
        out.append({
            "id": index + 1,
            "name": name,
            "gold": gold,
            "description": description,
            "req_equip1": reqs[0],
            "req_equip2": reqs[1],
            "req_equip3": reqs[2],
        })
    return out


def entry(monster_id, rate, is_new, is_boss=False):
    return {"monster_id": monster_id, "is_boss": is_boss, "is_new": is_new, "rate": rate}


def build_dungeon_monsters():
    out = []
    for index in range(len(data.DUNGEONS)):
        dungeon_id = index + 1
        first = index * MONSTERS_PER_DUNGEON + 1
        olds = data.old_monsters_of(dungeon_id)
        if dungeon_id == 1:
            old_rates, new_rates = [], data.FIRST_DUNGEON_RATES
        elif dungeon_id == 2:
            old_rates, new_rates = data.SECOND_DUNGEON_OLD_RATES, data.SECOND_DUNGEON_NEW_RATES
        else:
            old_rates, new_rates = data.OLD_RATES, data.NEW_RATES
        monsters = [entry(m, r, False) for m, r in zip(olds, old_rates)]
        monsters += [entry(first + i, r, True) for i, r in enumerate(new_rates)]
        # The boss counts among the dungeon's own monsters (the map list's stars).
        monsters.append(entry(first + 5, data.BOSS_RATE, True, is_boss=True))
        total = round(sum(e["rate"] for e in monsters), 6)
        if total != 1.0:
            raise SystemExit(f"dungeon {dungeon_id}: rates sum to {total}")
        out.append({"dungeon_id": dungeon_id, "monsters": monsters})
    return out


def equipment(item_id, item, item_type):
    return {
        "id": item_id,
        "name": item["name"],
        "description": item["description"],
        "type": item_type,
        "gold": item.get("gold", 0),
        "product_id": item.get("product_id", ""),
        "req_dungeon": item["req_dungeon"],
        "monster": item.get("monster", 0),
        "num": item.get("num", 0),
        "gold_rate": float(item.get("gold_rate", 1.0)),
        "speed_rate": float(item.get("speed_rate", 1.0)),
    }


def build_equipments():
    out = []
    for item in data.EQUIPMENTS:
        out.append(equipment(len(out) + 1, item, 0))
    for item in data.BONUS_ITEMS + data.STORE_ITEMS:
        out.append(equipment(len(out) + 1, item, 1))
    return out


def write_plist(path, value):
    with open(path, "wb") as f:
        plistlib.dump(value, f, fmt=plistlib.FMT_XML, sort_keys=True)


def write_monster_sheet(path, dungeons):
    lines = [
        "# Monster art sheet",
        "",
        "One line per monster for the artist: colour, shape and the features that make it readable",
        "at collection size. Pictures are \"m<id>.png\"; monsters face the viewer or slightly left,",
        "friendly even when fierce, on a transparent background.",
        "",
    ]
    for index, (name, gold, _reqs, _desc, brief) in enumerate(data.MONSTERS):
        if index % MONSTERS_PER_DUNGEON == 0:
            dungeon = dungeons[index // MONSTERS_PER_DUNGEON]
            lines += ["", f"## {dungeon['id']}. {dungeon['name']}", "",
                      "| No. | Name | Brief |", "|---|---|---|"]
        boss = " (boss)" if index % MONSTERS_PER_DUNGEON == 5 else ""
        lines.append(f"| {index + 1} | {name}{boss} | {brief} |")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines).replace("\n\n\n", "\n\n") + "\n")


def write_strings(source):
    for index, lang in enumerate(strings_data.LANGUAGES):
        folder = os.path.join(source, "resources", "strings", lang + ".lproj")
        os.makedirs(folder, exist_ok=True)
        table = {key: texts[index] for key, texts in strings_data.STRINGS.items()}
        write_plist(os.path.join(folder, "Localizable.strings"), table)


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..")
    tables = os.path.join(source, "resources", "tables")
    os.makedirs(tables, exist_ok=True)
    dungeons = build_dungeons()
    write_plist(os.path.join(tables, "dungeons.plist"), dungeons)
    write_plist(os.path.join(tables, "monsters.plist"), build_monsters())
    write_plist(os.path.join(tables, "dungeon_monsters.plist"), build_dungeon_monsters())
    write_plist(os.path.join(tables, "equipments.plist"), build_equipments())
    write_monster_sheet(os.path.join(source, "docs", "MONSTERS.md"), dungeons)
    write_strings(source)
    print("wrote", os.path.normpath(tables), "and the string tables")


if __name__ == "__main__":
    main()
