#!/usr/bin/env python3
"""Checks the layering of the sources by their paths, following every quoted include.

The files are those under src/, tools/ and sim/ of the tree; a file's folder is its own
directory ("src/link", "src/gui/kit", "tools/cli"). The rules:

- [widgets] A file may reach a QtWidgets header (every name in Qt's QtWidgets include
  folder counts) if and only if it lies under src/gui/: nothing outside src/gui/ reaches
  one, through any number of includes.
- [window] Nothing outside src/gui/ reaches a file under src/gui/: the engine, tools/ and
  sim/ reach no window.
- [cycle] No two folders include each other, directly or around a longer ring (and no
  file includes itself around a ring).
- [library] With --manifest: every file declared for the windows' library lies under
  src/gui/, every file declared for the engine outside it, and every header under src/ is
  declared for one of them.

A quoted include is looked up in the including file's folder, then in src/, then in every
folder of tools/ and sim/ (where the programs find their own headers).

Usage: check_layers.py --root DIR --widgets DIR [--manifest FILE]
The manifest's lines are "engine PATHS" or "window PATHS", the declared files separated by
";", each absolute or relative to src/. Exit status 0 when all rules hold, 1 otherwise, with
one line per break.
"""

import argparse
import os
import re
import sys
from collections import deque

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCE_TOPS = ("src", "tools", "sim")
GUI = "src/gui/"


def folder(rel):
    return rel.rsplit("/", 1)[0] if "/" in rel else "."


def under_gui(rel):
    return rel.startswith(GUI)


def collect(root):
    """Every .h and .cpp under the source tops, by path from the root."""
    files = {}
    for top in SOURCE_TOPS:
        for base, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    path = os.path.join(base, name)
                    files[os.path.relpath(path, root).replace(os.sep, "/")] = path
    return files


def read_graph(root, files):
    """The files each file includes, and the angle-bracket names it includes."""
    program_dirs = sorted({folder(rel) for rel in files if not rel.startswith("src/")})
    graph, system = {}, {}
    for rel, path in files.items():
        local, angle = [], []
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = INCLUDE.match(line)
                if not m:
                    continue
                kind, name = m.groups()
                if kind == "<":
                    angle.append(name)
                    continue
                for base in [folder(rel), "src"] + program_dirs:
                    target = os.path.normpath(os.path.join(base, name)).replace(os.sep, "/")
                    if target in files:
                        local.append(target)
                        break
        graph[rel], system[rel] = local, angle
    return graph, system


def is_widget(name, widgets):
    return name == "QtWidgets" or name.startswith("QtWidgets/") or name in widgets


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


def road(parents, end):
    path = [end]
    while parents[path[-1]] is not None:
        path.append(parents[path[-1]])
    return " -> ".join(reversed(path))


def components(graph):
    """Strongly connected components with more than one node, or a node on a loop."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(v):
        # Iterative Tarjan, so deep include chains do not hit the recursion limit.
        work = [(v, iter(sorted(graph[v])))]
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
                    work.append((w, iter(sorted(graph[w]))))
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


def folder_cycles(graph):
    """Cycles between folders, each with the includes that close it."""
    folders, edges = {}, {}
    for rel, targets in graph.items():
        folders.setdefault(folder(rel), set())
        for target in targets:
            a, b = folder(rel), folder(target)
            if a != b:
                folders[a].add(b)
                folders.setdefault(b, set())
                edges.setdefault((a, b), f"{rel} -> {target}")
    failures = []
    for component in components(folders):
        inside = set(component)
        links = sorted(edge for (a, b), edge in edges.items() if a in inside and b in inside)
        failures.append(f"[cycle] {' <-> '.join(component)}: {'; '.join(links)}")
    return failures


def library_failures(manifest, root, files):
    src = os.path.realpath(os.path.join(root, "src"))
    declared = {}
    with open(manifest, encoding="utf-8") as f:
        for line in f:
            parts = line.split(maxsplit=1)
            if len(parts) != 2:
                continue
            for entry in parts[1].strip().split(";"):
                path = os.path.realpath(os.path.join(src, entry))
                if not entry or not path.startswith(src + os.sep):
                    continue  # generated files (moc) are not the sources' own
                rel = "src/" + os.path.relpath(path, src).replace(os.sep, "/")
                declared.setdefault(rel, set()).add(parts[0])
    failures = []
    for rel in sorted(declared):
        if "window" in declared[rel] and not under_gui(rel):
            failures.append(f"[library] {rel}: a window file outside {GUI}")
        if "engine" in declared[rel] and under_gui(rel):
            failures.append(f"[library] {rel}: an engine file under {GUI}")
    for rel in sorted(files):
        if rel.startswith("src/") and rel.endswith(".h") and rel not in declared:
            failures.append(f"[library] {rel}: declared for neither library")
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True, help="the tree holding src/, tools/, sim/")
    parser.add_argument("--widgets", required=True, help="Qt's QtWidgets include folder")
    parser.add_argument("--manifest", help="the files each library declares")
    args = parser.parse_args()
    root = os.path.realpath(args.root)

    widgets = set(os.listdir(args.widgets))
    if not widgets:
        print(f"no widget headers in {args.widgets}")
        return 1

    files = collect(root)
    graph, system = read_graph(root, files)

    failures = []
    for rel in sorted(files):
        if under_gui(rel):
            continue
        parents = reach(graph, rel)
        for reached in sorted(parents):
            # A road is named up to the first window file it enters.
            if under_gui(reached):
                if not under_gui(parents[reached]):
                    failures.append(f"[window] {road(parents, reached)}")
                continue
            for name in system[reached]:
                if is_widget(name, widgets):
                    failures.append(f"[widgets] {road(parents, reached)} -> <{name}>")

    failures += folder_cycles(graph)
    for component in components(graph):
        if len({folder(rel) for rel in component}) == 1:
            failures.append("[cycle] " + " <-> ".join(component))
    if args.manifest:
        failures += library_failures(args.manifest, root, files)

    if failures:
        print("layering broken:")
        print("\n".join(failures))
        return 1
    print(f"layers: {len(files)} files in {len({folder(r) for r in files})} folders, "
          f"widgets only under {GUI}, no folder cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
