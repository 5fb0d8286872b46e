#!/usr/bin/env python3
"""Checks the project's includes against the map in ARCHITECTURE.md: every
`#include "folder/..."` in a source file must name a folder that the map
lets the file's own folder include. Prints each include the map does not
allow and exits 1 when there is one.
    include_map.py [SOURCE_DIR]

The map is the table under "## Who may include whom": one row per folder
(or single file, which then overrides its folder), the allowed folders in
backticks in the second column, "any" for every folder."""

import os
import re
import sys

SOURCE_SUFFIXES = (".cc", ".h", ".c", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/')
ROW = re.compile(r"^\|\s*`([^`]+)`\s*\|([^|]*)\|")

def read_map(source_dir):
    """{folder or file path: set of folders it may include, or None for any}."""
    rules = {}
    in_section = False
    with open(os.path.join(source_dir, "ARCHITECTURE.md"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("## "):
                in_section = line.strip() == "## Who may include whom"
                continue
            match = ROW.match(line) if in_section else None
            if match is None:
                continue
            allowed = match.group(2)
            names = {name.strip("/") for name in re.findall(r"`([^`]+)`", allowed)}
            rules[match.group(1).strip("/")] = None if allowed.strip() == "any" else names
    if not rules:
        raise SystemExit("ARCHITECTURE.md has no include map")
    return rules


def source_files(source_dir, folders):
    for folder in folders:
        top = os.path.join(source_dir, folder)
        if not os.path.isdir(top):
            continue
        for directory, subdirs, files in os.walk(top):
            subdirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    path = os.path.join(directory, name)
                    yield os.path.relpath(path, source_dir).replace(os.sep, "/")


def violations(source_dir):
    rules = read_map(source_dir)
    folders = sorted({key.split("/")[0] for key in rules})
    found = []
    for path in source_files(source_dir, folders):
        folder = path.split("/")[0]
        allowed = rules.get(path, rules.get(folder, set()))
        with open(os.path.join(source_dir, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                match = INCLUDE.match(line)
                if match is None:
                    continue
                target = match.group(1)
                if target == folder or allowed is None or target in allowed:
                    continue
                found.append("%s:%d: %s/ may not include %s/" % (path, number, folder, target))
    return found


LIBRARY = re.compile(r"^\s*lite_add_folder_library\(([^)]*)\)", re.M)


def link_violations(source_dir):
    """Each folder's library (`lite_add_folder_library(folder dependencies...)`
    in its CMakeLists.txt) links only folders the map allows, and every
    folder that the folder's files include and that has a library of its own."""
    rules = read_map(source_dir)
    links = {}
    for folder in sorted(rules):
        path = os.path.join(source_dir, folder, "CMakeLists.txt")
        if "/" in folder or not os.path.isfile(path):
            continue
        with open(path, encoding="utf-8") as f:
            match = LIBRARY.search(f.read())
        if match:
            names = match.group(1).split()
            links[names[0]] = {name for name in names[1:] if not name.startswith("lite_")}
    found = []
    for folder, linked in sorted(links.items()):
        allowed = rules.get(folder, set())
        for name in sorted(linked):
            if allowed is not None and name not in allowed:
                found.append("%s/CMakeLists.txt: links %s/, which the map does not allow" % (folder, name))
        included = set()
        for path in source_files(source_dir, [folder]):
            with open(os.path.join(source_dir, path), encoding="utf-8", errors="replace") as f:
                included.update(m.group(1) for m in map(INCLUDE.match, f) if m)
        for name in sorted(included & set(links) - linked - {folder}):
            found.append("%s/CMakeLists.txt: does not link %s/, which it includes" % (folder, name))
    return found


def main():
    source_dir = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                                 os.path.join(os.path.dirname(__file__), "..", ".."))
    found = violations(source_dir) + link_violations(source_dir)
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
