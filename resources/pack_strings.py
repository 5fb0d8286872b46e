#!/usr/bin/env python3
"""Turns the string tables of a compiled resource file into the packed
UTF-8 tables that the program carries, compressed, in a cabinet:

    pack_strings.py STRINGS.res OUTPUT

STRINGS.res is strings.rc compiled by windres (-O res), so the texts mean
exactly what the resource compiler makes of them. OUTPUT receives, for each
language in ascending order of its id, three little-endian 16-bit numbers
(the language id, the first string id, the count of texts) followed by the
texts of every id from the first on, each as UTF-8 ended by a zero byte; an
id the language lacks is an empty text. ui/packed_strings.cc reads it. The
output depends on the input only, so builds stay reproducible.
"""

import struct
import sys

RT_STRING = 6
STRINGS_PER_BLOCK = 16


def read_id(data, at):
    """Reads a resource type or name: (value, offset after it)."""
    (first,) = struct.unpack_from("<H", data, at)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def string_tables(data):
    """Yields (language id, string id, text) for every non-empty string."""
    at = 0
    while at + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, at)
        kind, after = read_id(data, at + 8)
        name, after = read_id(data, after)
        after = (after + 3) & ~3
        _, _, language = struct.unpack_from("<IHH", data, after)
        body = data[at + header_size:at + header_size + data_size]
        if len(body) != data_size:
            raise ValueError("truncated resource file")
        if kind == RT_STRING:
            entry = 0
            for index in range(STRINGS_PER_BLOCK):
                (length,) = struct.unpack_from("<H", body, entry)
                text = body[entry + 2:entry + 2 + 2 * length].decode("utf-16-le")
                entry += 2 + 2 * length
                if text:
                    yield language, (name - 1) * STRINGS_PER_BLOCK + index, text
        at = (at + header_size + data_size + 3) & ~3


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    languages = {}
    for language, string_id, text in string_tables(data):
        if "\0" in text:
            raise ValueError("string %d in language %d holds a zero" % (string_id, language))
        languages.setdefault(language, {})[string_id] = text
    if not languages:
        raise ValueError("no string tables in " + argv[1])
    packed = b""
    for language in sorted(languages):
        table = languages[language]
        first, last = min(table), max(table)
        packed += struct.pack("<HHH", language, first, last - first + 1)
        packed += b"".join(table.get(string_id, "").encode("utf-8") + b"\0"
                           for string_id in range(first, last + 1))
    with open(argv[2], "wb") as f:
        f.write(packed)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
