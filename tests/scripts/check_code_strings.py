#!/usr/bin/env python3
"""Every text key the game's code looks up exists, non-empty, in every string table, and every
format the code fills takes the arguments the code passes (same conversions in every language)."""
import pathlib
import plistlib
import re
import sys

src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
GAME_DIRS = ["app", "model", "explore", "stage", "overlays", "shop", "gamelink"]
LANGS = ["en", "ja", "zh-Hans"]
FORMATTED = re.compile(r'stringWithFormat\(\s*NSLocalizedString\(\s*"([^"]+)"\s*\)\s*,\s*\{([^{}]*(?:\{[^{}]*\}[^{}]*)*)\}')
LOOKUP = re.compile(r'(?:NSLocalizedString|localizedString)\(\s*"([^"]+)"\s*\)')
CONVERSION = re.compile(r'%(?:(\d+)\$)?[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|z|q)?([@dDiuUxXoOfeEgGcCs%])')

def conversions(fmt):
    """The argument kinds of a format, in argument order ('@', 'i' for integers, 'f' for reals)."""
    kinds = {}
    nxt = 1
    for m in CONVERSION.finditer(fmt):
        conv = m.group(2)
        if conv == "%":
            continue
        pos = int(m.group(1)) if m.group(1) else nxt
        nxt = pos + 1
        kind = "@" if conv in "@sS" else "f" if conv in "feEgG" else "i"
        kinds[pos] = kind
    return [kinds[k] for k in sorted(kinds)]

failures = []
keys = {}
calls = []  # (where, key, number of arguments passed)
for d in GAME_DIRS:
    for path in sorted((src / d).rglob("*")):
        if path.suffix in (".cpp", ".h"):
            text = path.read_text(encoding="utf-8", errors="replace")
            for key in LOOKUP.findall(text):
                keys.setdefault(key, str(path.relative_to(src)))
            for key, args in FORMATTED.findall(text):
                depth, count = 0, 1 if args.strip() else 0
                for ch in args:
                    depth += ch in "({[" and 1 or 0
                    depth -= ch in ")}]" and 1 or 0
                    count += ch == "," and depth == 0
                calls.append((str(path.relative_to(src)), key, count))

tables = {}
for lang in LANGS:
    path = src / "resources" / "strings" / f"{lang}.lproj" / "Localizable.strings"
    with open(path, "rb") as f:
        tables[lang] = plistlib.load(f)

checked = 0
for key, where in sorted(keys.items()):
    checked += 1
    english = tables["en"].get(key)
    for lang in LANGS:
        text = tables[lang].get(key)
        if not isinstance(text, str) or not text:
            failures.append(f"{where}: key '{key}' missing or empty in {lang}")
        elif english is not None and conversions(text) != conversions(english):
            failures.append(f"{where}: key '{key}' in {lang} takes {conversions(text)}, English takes {conversions(english)}")

for where, key, count in calls:
    checked += 1
    for lang in LANGS:
        text = tables[lang].get(key)
        if isinstance(text, str) and len(conversions(text)) != count:
            failures.append(f"{where}: '{key}' in {lang} takes {len(conversions(text))} arguments, the code passes {count}")

for f in failures:
    print("FAIL:", f)
print(f"{checked - min(checked, len(failures))} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
