#!/usr/bin/env python3
"""Checks the layering of the sources, following includes through headers.

- The engine (the files of tarnvik_core and its header set, and the programs built on it
  alone) reaches no window: no header
  of the windows' header set, nothing under ui/ or app/, no QtWidgets header (every name
  in Qt's QtWidgets include folder counts).
- Nothing outside app/ reaches app/.
- ui/, the kit every window uses, reaches no page folder.
- No file reaches itself (no include cycle).
- Every header is declared as the engine's or the windows'.

Usage: check_layers.py --src DIR --manifest FILE --widgets DIR [--programs DIR...]
The manifest's lines are "engine PATHS" or "window PATHS": the declared files (sources and
headers), separated by ";", each absolute or relative to --src. Exit status 0 when all hold, 1 otherwise,
with one line per broken rule.
"""

import argparse
import os
import re
import sys
from collections import deque

PAGE_FOLDERS = ("config", "functions", "calibration", "files", "fonts", "command", "network",
                "password")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder(rel):
    return rel.split("/", 1)[0] if "/" in rel else ""


def key_of(path, src, top):
    """A file's name in the graph: from src for the sources, from the project's top folder
    for the programs; None for anything else."""
    for base in (src, top):
        if path.startswith(base + os.sep):
            return os.path.relpath(path, base).replace(os.sep, "/")
    return None


def read_includes(src, top, path):
    """The files a file includes (resolved from src, then from its own folder), and the
    angle-bracket names it includes."""
    local, system = [], []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = INCLUDE.match(line)
            if not m:
                continue
            kind, name = m.groups()
            if kind == "<":
                system.append(name)
                continue
            for base in (src, os.path.dirname(path)):
                target = os.path.normpath(os.path.join(base, name))
                if os.path.isfile(target):
                    key = key_of(target, src, top)
                    if key:
                        local.append(key)
                    break
    return local, system


def is_widget(name, widgets):
    if name in ("QtWidgets", "QtWidgets/QtWidgets") or name.startswith("QtWidgets/"):
        return True
    return name in widgets


def chain(parents, start, end):
    path = [end]
    while path[-1] != start:
        path.append(parents[path[-1]])
    return " -> ".join(reversed(path))


def reach(graph, start):
    """Every file reachable from start, with the parent on one shortest road to it."""
    parents = {start: None}
    queue = deque([start])
    while queue:
        node = queue.popleft()
        for nxt in graph[node]:
            if nxt not in parents:
                parents[nxt] = node
                queue.append(nxt)
    return parents


def cycles(graph):
    """Strongly connected components with more than one file, or a file including itself."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(v):
        # Iterative Tarjan, so deep include chains do not hit the recursion limit.
        work = [(v, iter(graph[v]))]
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        while work:
            node, it = work[-1]
            advanced = False
            for w in it:
                if w not in index:
                    index[w] = low[w] = counter[0]
                    counter[0] += 1
                    stack.append(w)
                    on_stack.add(w)
                    work.append((w, iter(graph[w])))
                    advanced = True
                    break
                if w in on_stack:
                    low[node] = min(low[node], index[w])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    w = stack.pop()
                    on_stack.discard(w)
                    component.append(w)
                    if w == node:
                        break
                if len(component) > 1 or node in graph[node]:
                    found.append(sorted(component))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--src", required=True)
    parser.add_argument("--manifest", required=True)
    parser.add_argument("--widgets", required=True, help="Qt's QtWidgets include folder")
    parser.add_argument("--programs", nargs="*", default=[],
                        help="folders of programs built on the engine alone; they are held "
                             "to the engine's rules")
    args = parser.parse_args()
    src = os.path.realpath(args.src)

    widgets = set(os.listdir(args.widgets))
    if not widgets:
        print(f"no widget headers in {args.widgets}")
        return 1

    engine, window = set(), set()
    with open(args.manifest, encoding="utf-8") as f:
        for line in f:
            parts = line.split(maxsplit=1)
            if len(parts) != 2:
                continue
            for entry in parts[1].strip().split(";"):
                path = os.path.realpath(os.path.join(src, entry))
                if not entry or not path.startswith(src + os.sep):
                    continue  # generated files (moc) are not the sources' own
                rel = os.path.relpath(path, src).replace(os.sep, "/")
                (engine if parts[0] == "engine" else window).add(rel)

    top = os.path.dirname(src)
    paths = {}
    for folder_path in [src] + [os.path.realpath(p) for p in args.programs]:
        for root, _, names in os.walk(folder_path):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    path = os.path.join(root, name)
                    paths[key_of(path, src, top)] = path
    files = sorted(paths)
    programs = {key for key, path in paths.items() if not path.startswith(src + os.sep)}
    engine |= programs
    graph, system = {}, {}
    for rel in files:
        local, system[rel] = read_includes(src, top, paths[rel])
        graph[rel] = [key for key in local if key in paths]

    failures = []
    for rel in sorted(files):
        if rel in programs:
            continue
        if rel.endswith(".h") and rel not in engine and rel not in window:
            failures.append(f"[undeclared] {rel}: neither an engine nor a window header")
        if rel in engine and rel in window:
            failures.append(f"[undeclared] {rel}: declared both as engine and as window")

    for rel in sorted(files):
        parents = reach(graph, rel)
        outside_app = folder(rel) != "app"
        for reached in sorted(parents):
            if reached == rel:
                continue
            road = chain(parents, rel, reached)
            if rel in engine and (reached in window or folder(reached) in ("ui", "app")):
                failures.append(f"[engine-window] {road}")
            if outside_app and folder(reached) == "app":
                failures.append(f"[app] {road}")
            if folder(rel) == "ui" and folder(reached) in PAGE_FOLDERS:
                failures.append(f"[ui-page] {road}")
        if rel in engine:
            for reached in sorted(parents):
                for name in system[reached]:
                    if is_widget(name, widgets):
                        failures.append(f"[engine-widgets] {chain(parents, rel, reached)} -> <{name}>")

    for component in cycles(graph):
        failures.append("[cycle] " + " <-> ".join(component))

    if failures:
        print("layering broken:")
        print("\n".join(failures))
        return 1
    print(f"layers: {len(files)} files, engine and windows apart, no cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
