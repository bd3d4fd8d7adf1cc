#!/usr/bin/env python3
"""Every text key the game's code and layouts look up exists, non-empty, in every string table, every format the code
fills takes as many arguments as the code passes, and no layout writes a visible text itself (a literal "title" or
"text" instead of "titleKey" / "textKey"). (The kinds of the arguments and their agreement across languages are
checked with the rest of the content, check_content.py.)"""
import json
import pathlib
import re
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
from check_content import LANGUAGES, Content, format_signature  # noqa: E402

GAME_DIRS = ["app", "model", "explore", "stage", "overlays", "shop", "gamelink"]
FORMATTED = re.compile(r'stringWithFormat\(\s*NSLocalizedString\(\s*"([^"]+)"\s*\)\s*,\s*\{([^{}]*(?:\{[^{}]*\}[^{}]*)*)\}')
LOOKUP = re.compile(r'(?:NSLocalizedString|localizedString)\(\s*"([^"]+)"\s*\)')


def count_arguments(args):
    """Commas outside brackets, plus one: the arguments of a braced list."""
    depth, count = 0, 1 if args.strip() else 0
    for ch in args:
        depth += (ch in "({[") - (ch in ")}]")
        count += ch == "," and depth == 0
    return count


def layout_texts(node, where, keys):
    """The literal texts of a layout node and its children, as failures; the keys they look up go into `keys`."""
    if not isinstance(node, dict):
        return []
    where = where + "/" + str(node.get("name", node.get("class", "?")))
    failures = [f"{where}: literal \"{field}\" {node[field]!r}, use \"{field}Key\"" for field in ("title", "text")
                if isinstance(node.get(field), str) and node[field].strip()]
    for field in ("titleKey", "textKey"):
        if isinstance(node.get(field), str):
            keys.setdefault(node[field], where)
    return failures + [f for child in node.get("subviews", []) for f in layout_texts(child, where, keys)]


def main(src):
    tables = Content(str(src)).strings
    keys, calls = {}, []  # key -> first file using it; (file, key, number of arguments passed)
    planted = layout_texts({"class": "Button", "name": "okBtn", "title": "OK"}, "planted", {})
    assert planted and "okBtn" in planted[0], "a literal title in a layout is found"
    failures = []
    for path in sorted((src / "resources" / "layouts").glob("*.json")):
        failures += layout_texts(json.loads(path.read_text(encoding="utf-8")), str(path.relative_to(src)), keys)
    for path in sorted(p for d in GAME_DIRS for p in (src / d).rglob("*") if p.suffix in (".cpp", ".h")):
        text, where = path.read_text(encoding="utf-8", errors="replace"), str(path.relative_to(src))
        for key in LOOKUP.findall(text):
            keys.setdefault(key, where)
        calls += [(where, key, count_arguments(args)) for key, args in FORMATTED.findall(text)]
    failures += [f"{where}: key '{key}' missing or empty in {lang}" for key, where in sorted(keys.items())
                for lang in LANGUAGES if not isinstance(tables[lang].get(key), str) or not tables[lang][key]]
    failures += [f"{where}: '{key}' in {lang} takes {len(signature)} arguments, the code passes {count}"
                 for where, key, count in calls for lang in LANGUAGES
                 for signature in [format_signature(tables[lang].get(key) or "")[0]] if signature is not None and len(signature) != count]
    print("".join(f"FAIL: {failure}\n" for failure in failures) + f"{max(0, len(keys) + len(calls) - len(failures))} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")))
