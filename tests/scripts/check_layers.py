#!/usr/bin/env python3
"""The order of the game's folders and the file cycles, read from the #include lines.

A folder may include only the folders to its left (shop and gamelink are siblings and do not
include each other):

    platform < model < stage < overlays < shop, gamelink < explore < app

The shared pieces may be included from any game folder; they themselves include only the
platform and each other. Besides, no two units of the game (a header with its source file) and
no two parts of the platform (core, ui, services, ...) may include each other, directly or
through others.

usage: check_layers.py SOURCE_DIR [BUILD_DIR]   exit status 1 with one line per fault
"""
import os
import re
import sys

RANKS = {"platform": 0, "model": 1, "stage": 2, "overlays": 3, "shop": 4, "gamelink": 4, "explore": 5, "app": 6}
SHARED = {"explore/NMCommon", "stage/NMAnimationCommon", "explore/BalloonView", "explore/DotFontLabel", "explore/PixelPanel"}
ORDER = "platform < model < stage < overlays < shop, gamelink < explore < app"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def sources(root):
    for folder in RANKS:
        for base, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if name.endswith((".h", ".cpp")):
                    path = os.path.relpath(os.path.join(base, name), root)
                    with open(os.path.join(root, path), encoding="utf-8") as f:
                        yield path.replace(os.sep, "/"), INCLUDE.findall(f.read())


def unit(path):
    return os.path.splitext(path)[0]


def node(path):
    """What the cycle search sees: a game unit, or a whole part of the platform."""
    parts = path.split("/")
    return "/".join(parts[:2]) + "/" if parts[0] == "platform" else unit(path)


def layer_fault(path, target):
    here, there = path.split("/")[0], target.split("/")[0]
    if there not in RANKS or here == there:
        return None
    if unit(path) in SHARED:
        if there == "platform" or unit(target) in SHARED:
            return None
        return f"{path}: includes {target}, but a shared piece includes only the platform and the other shared pieces"
    if here == "platform":
        return f"{path}: includes {target}, but the platform includes no game folder"
    if unit(target) in SHARED or RANKS[there] < RANKS[here]:
        return None
    return f"{path}: includes {target}, but {here}/ may include only folders left of it ({ORDER})"


def cycles(graph):
    """The groups of units that reach each other (Tarjan), each sorted, larger than one."""
    index, low, stack, on, out, counter = {}, {}, [], set(), [], [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on.add(v)
        for w in sorted(graph.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                out.append(sorted(group))

    sys.setrecursionlimit(10000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return out


def check(root):
    faults, graph = [], {}
    for path, includes in sources(root):
        for target in includes:
            if not os.path.exists(os.path.join(root, target)):
                continue  # a system or generated header
            fault = layer_fault(path, target)
            if fault:
                faults.append(fault)
            if node(target) != node(path):
                graph.setdefault(node(path), set()).add(node(target))
    for group in cycles(graph):
        faults.append("include cycle: " + " <-> ".join(group))
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    faults = check(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) break the order of the folders (docs/ARCHITECTURE.md)")
        return 1
    print("includes follow the order of the folders")
    return 0


if __name__ == "__main__":
    sys.exit(main())
