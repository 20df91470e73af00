#!/usr/bin/env python3
"""Checks every project include of src/ and tools/ against the library targets' link dependencies.

A file belongs to the target that compiles it; a header to the target that compiles its .cpp, or else to the
first target with sources in its folder. Targets stand in layers by their links (a target sits one above the
highest it links). A file may include a header of its own target or of a target it links, directly or
through the public links of what it links. An include of a header of a higher layer, or of a target not
linked, is a breach. Prints one line per breach and exits 1 when there is one.
"""

import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
FOLDERS = ("src", "tools")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
COMMAND = re.compile(r"\b(add_library|add_executable|target_link_libraries)\s*\(([^)]*)\)", re.S)
KEYWORDS = {"STATIC", "SHARED", "OBJECT", "MODULE", "INTERFACE", "EXCLUDE_FROM_ALL", "WIN32", "MACOSX_BUNDLE"}
SCOPES = {"PUBLIC", "PRIVATE", "INTERFACE", "LINK_PUBLIC", "LINK_PRIVATE"}


def read_targets():
    """Target -> (its folder, its sources); target -> [(scope, linked target)]."""
    sources, links = {}, {}
    for top in FOLDERS:
        for folder, _, files in os.walk(os.path.join(ROOT, top)):
            if "CMakeLists.txt" not in files:
                continue
            with open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8") as f:
                text = re.sub(r"#[^\n]*", "", f.read())
            for command, args in COMMAND.findall(text):
                words = args.split()
                if not words:
                    continue
                name, rest = words[0], words[1:]
                if command == "target_link_libraries":
                    scope = "PUBLIC"
                    for w in rest:
                        if w in SCOPES:
                            scope = "PRIVATE" if w in ("PRIVATE", "LINK_PRIVATE") else "PUBLIC"
                        else:
                            links.setdefault(name, []).append((scope, w))
                else:
                    files_of = [os.path.relpath(os.path.normpath(os.path.join(folder, w)), ROOT)
                                for w in rest if w not in KEYWORDS and re.search(r"\.(cpp|h)$", w)]
                    sources.setdefault(name, [])
                    sources[name] += files_of
    return sources, {t: [(s, l) for s, l in ls if l in sources] for t, ls in links.items() if t in sources}


def owners(sources):
    """Every file of src/ and tools/ -> the target it belongs to."""
    owner, first_in_folder = {}, {}
    for target, files in sources.items():
        for f in files:
            owner[f] = target
            first_in_folder.setdefault(os.path.dirname(f), target)
    for top in FOLDERS:
        for folder, _, files in os.walk(os.path.join(ROOT, top)):
            for name in files:
                if not name.endswith(".h"):
                    continue
                path = os.path.relpath(os.path.join(folder, name), ROOT)
                twin = path[:-2] + ".cpp"
                target = owner.get(twin) or first_in_folder.get(os.path.dirname(path))
                if target:
                    owner[path] = target
    return owner


def layers(sources, links):
    rank = {}

    def of(target, seen=()):
        if target not in rank:
            below = [of(l, seen + (target,)) for _, l in links.get(target, []) if l not in seen]
            rank[target] = 1 + max(below, default=-1)
        return rank[target]

    for target in sources:
        of(target)
    return rank


def reachable(target, links):
    """What `target` may include: itself, what it links, and the public links of those, on down."""
    seen, todo = {target}, [l for _, l in links.get(target, [])]
    while todo:
        t = todo.pop()
        if t in seen:
            continue
        seen.add(t)
        todo += [l for s, l in links.get(t, []) if s == "PUBLIC"]
    return seen


def main():
    sources, links = read_targets()
    owner = owners(sources)
    rank = layers(sources, links)
    breaches = 0
    for path, target in sorted(owner.items()):
        full = os.path.join(ROOT, path)
        if not os.path.exists(full):
            continue
        allowed = reachable(target, links)
        with open(full, encoding="utf-8") as f:
            text = f.read()
        for inc in INCLUDE.findall(text):
            header = os.path.join(path.split(os.sep)[0], inc)
            if not os.path.exists(os.path.join(ROOT, header)):
                header = os.path.join("src", inc)  # a tool also includes from src/
            other = owner.get(header)
            if other is None or other in allowed:
                continue
            if rank[other] > rank[target]:
                why = f"{other} (layer {rank[other]}) sits above {target} (layer {rank[target]})"
            else:
                why = f"{target} does not link {other}, directly or through what it links"
            print(f'{path}: #include "{inc}": {why}')
            breaches += 1
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())
