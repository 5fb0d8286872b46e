#!/usr/bin/env python3
"""The tag list side of scripts/release.sh.

    release_tags.py check TAG_LIST            one accepted tag per output line
    release_tags.py table TAG_LIST READER_OUTPUT FILE...

A tag list holds one distribution tag per line; blank lines and lines
starting with "#" are skipped, and a line may end in CR LF. A tag is
"key=value" pairs joined by "&": keys of letters, digits, "_", "-" and ".";
values (which may be empty) of letters, digits and "_-.~+,:" or "%" with two
hex digits, so that a tag needs no escaping wherever the installer copies it
(download page address, registry, the setup's parameter file). At most
MAX_TAG_BYTES bytes, each key once per tag, each tag once per list.

`check` reports every bad line at once ("LIST:LINE: reason") and exits 1.
`table` compares what the installer's own reader found in each stamped copy
(read_distribution_tag.exe output, one line per FILE, after the untagged
program) with the list, prints the table (file, size, SHA-256, tag, language)
and exits 1 on any difference.
"""

import hashlib
import os
import re
import sys

MAX_TAG_BYTES = 512
KEY = r"[A-Za-z0-9_.\-]+"
VALUE = r"(?:[A-Za-z0-9_.~+,:\-]|%[0-9A-Fa-f]{2})*"
PAIR = re.compile(r"(%s)=(%s)" % (KEY, VALUE))


def problem(tag):
    """Why `tag` (bytes) cannot be stamped, or None."""
    if not tag:
        return "empty tag"
    for column, byte in enumerate(tag, 1):
        if not 0x21 <= byte <= 0x7E:
            kind = "not ASCII" if byte >= 0x80 else "a space or control character"
            return "byte 0x%02x at column %d is %s" % (byte, column, kind)
    if len(tag) > MAX_TAG_BYTES:
        return "%d bytes, longer than %d" % (len(tag), MAX_TAG_BYTES)
    text = tag.decode("ascii")
    keys = set()
    for number, pair in enumerate(text.split("&"), 1):
        match = PAIR.fullmatch(pair)
        if match is None:
            return "pair %d %r is not key=value (key: letters, digits, _-.; value: also ~+,: or %%XX)" % (
                number, pair)
        if match.group(1) in keys:
            return "key %r given twice" % match.group(1)
        keys.add(match.group(1))
    return None


def read_list(path):
    """[(line number, tag bytes)] and a list of error texts."""
    with open(path, "rb") as f:
        data = f.read()
    tags, errors, seen = [], [], {}
    for number, line in enumerate(data.split(b"\n"), 1):
        if line.endswith(b"\r"):
            line = line[:-1]
        if not line.strip() or line.startswith(b"#"):
            continue
        reason = problem(line)
        if reason is None and line in seen:
            reason = "same tag as line %d" % seen[line]
        if reason is not None:
            errors.append("%s:%d: %s" % (path, number, reason))
            continue
        seen[line] = number
        tags.append((number, line))
    if not tags and not errors:
        errors.append("%s: no tags" % path)
    return tags, errors


def check(path):
    tags, errors = read_list(path)
    if errors:
        for error in errors:
            sys.stderr.write("bad tag line: %s\n" % error)
        return 1
    for _, tag in tags:
        sys.stdout.write(tag.decode("ascii") + "\n")
    return 0


def parse_reader_line(line):
    fields = dict(field.split("=", 1) for field in line.split())
    tag = b"" if fields["tag"] == "-" else bytes.fromhex(fields["tag"])
    lang = None if fields["lang"] == "-" else bytes.fromhex(fields["lang"]).decode("ascii", "replace")
    return tag, lang, int(fields["language_id"])


def table(list_path, reader_output, files):
    tags, errors = read_list(list_path)
    if errors:
        for error in errors:
            sys.stderr.write("bad tag line: %s\n" % error)
        return 1
    with open(reader_output, errors="replace") as f:
        lines = [line for line in f.read().splitlines() if line.startswith("tag=")]
    expected = [b""] + [tag for _, tag in tags]
    status = 0
    if len(lines) != len(files) or len(files) != len(expected):
        sys.stderr.write("release: the reader gave %d answers for %d files (%d expected)\n" % (
            len(lines), len(files), len(expected)))
        return 1
    rows = []
    for path, line, want in zip(files, lines, expected):
        try:
            found, lang, language_id = parse_reader_line(line)
        except (KeyError, ValueError):
            sys.stderr.write("release: %s: unreadable reader answer %r\n" % (path, line))
            status = 1
            continue
        if found != want:
            sys.stderr.write("release: %s: the installer reads tag %r, the list says %r\n" % (
                path, found, want))
            status = 1
        with open(path, "rb") as f:
            data = f.read()
        if found != want:
            language = "?"
        else:
            language = "-" if lang is None else "%s (%d)" % (lang, language_id)
        rows.append((os.path.basename(path), str(len(data)), hashlib.sha256(data).hexdigest(),
                     language, (want.decode("ascii") or "-") if found == want else "(differs from the list)"))
    header = ("file", "size", "sha256", "lang (id)", "tag as the installer reads it")
    widths = [max(len(row[i]) for row in rows + [header]) for i in range(4)]
    for row in [header] + rows:
        print("  ".join(cell.ljust(width) for cell, width in zip(row, widths)) + "  " + row[4])
    return status


def main(argv):
    if len(argv) == 3 and argv[1] == "check":
        return check(argv[2])
    if len(argv) >= 5 and argv[1] == "table":
        return table(argv[2], argv[3], argv[4:])
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
