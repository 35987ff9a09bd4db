#!/usr/bin/env python3
"""Checks that the sources keep to their layers.

Each folder of src/ is a layer; a file may include headers of its own folder
and of the layers below it, never of a layer above or beside its own. Within
the program no include circle may form, counting a header and the source file
of the same name as one unit (a class's .h and .cpp).

    scripts/check-layers.py           checks src/ of this checkout
    scripts/check-layers.py --list    also prints the layers and every unit's includes

Exits 1 when a rule is broken, naming each include that breaks it.
"""
import os
import re
import sys

# Bottom to top; folders on one line are one layer and may not include each other.
LAYERS = [
    ["platform"],
    ["encoding"],
    ["initfile"],
    ["editor"],
    ["texts"],
    ["workbench"],
    ["dialogs", "send", "wizard"],
    ["app"],
    [""],  # src/main.cpp
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def rank_of(folder):
    for rank, folders in enumerate(LAYERS):
        if folder in folders:
            return rank
    return None


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    root = os.path.normpath(root)
    verbose = "--list" in sys.argv[1:]
    problems = []
    edges = {}  # unit -> set of units
    for dirpath, _, files in os.walk(root):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, root).replace(os.sep, "/")
            folder = rel.split("/")[0] if "/" in rel else ""
            rank = rank_of(folder)
            if rank is None:
                problems.append(f"{rel}: folder '{folder}' has no layer in scripts/check-layers.py")
                continue
            unit = os.path.splitext(rel)[0]
            edges.setdefault(unit, set())
            with open(path, encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = match.group(1)
                    if not os.path.exists(os.path.join(root, target)):
                        continue  # a header outside src/ (a test's or a library's)
                    target_folder = target.split("/")[0] if "/" in target else ""
                    target_rank = rank_of(target_folder)
                    if target_folder != folder and (target_rank is None or target_rank >= rank):
                        where = "above" if target_rank is not None and target_rank > rank else "beside"
                        problems.append(f"{rel}:{number}: includes {target}, a layer {where} its own")
                    target_unit = os.path.splitext(target)[0]
                    if target_unit != unit:
                        edges[unit].add(target_unit)

    # Include circles: depth-first search over the units.
    state = {}
    stack = []

    def visit(unit):
        state[unit] = 1
        stack.append(unit)
        for target in sorted(edges.get(unit, ())):
            if state.get(target) == 1:
                circle = stack[stack.index(target):] + [target]
                problems.append("include circle: " + " -> ".join(circle))
            elif target not in state:
                visit(target)
        stack.pop()
        state[unit] = 2

    sys.setrecursionlimit(10000)
    for unit in sorted(edges):
        if unit not in state:
            visit(unit)

    if verbose:
        for rank, folders in enumerate(LAYERS):
            print(f"layer {rank}: {', '.join(f or 'main.cpp' for f in folders)}")
        for unit in sorted(edges):
            print(f"{unit}: {' '.join(sorted(edges[unit]))}")
    for problem in problems:
        print(problem)
    if problems:
        print(f"check-layers: {len(problems)} problem(s)", file=sys.stderr)
        return 1
    print("check-layers: every include points down, no circle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
