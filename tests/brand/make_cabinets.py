#!/usr/bin/env python3
"""Builds the cabinet fixtures of the extraction tests with gcab (MSZIP), and
damaged variants of them: make_cabinets.py OUTPUT_DIR"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

DOCUMENT = b'{"brand_id": "fixture", "languages": {"interface": "de"}}'


def gcab(cab, files):
    if os.path.exists(cab):
        os.remove(cab)
    subprocess.run(["gcab", "-c", "-z", "-n", cab, *files], check=True)


def patch_next_cabinet(data, prev=False):
    """Marks the cabinet as continued in a next (or from a previous) one:
    the header flag, the two names after the header, and the file's folder
    index. The file also announces more bytes than its folder holds."""
    flag = 1 if prev else 2
    names = b"other.cab\0disk2\0"
    (sig, _, size, _, coff_files, _, minor, major, folders, files, flags, set_id,
     index) = struct.unpack_from("<4sIIIII BBHHHHH", data, 0)
    assert sig == b"MSCF" and folders == 1 and flags == 0
    header_end = 36
    out = bytearray(data[:header_end] + names + data[header_end:])
    shift = len(names)
    struct.pack_into("<I", out, 8, size + shift)
    struct.pack_into("<I", out, 16, coff_files + shift)
    struct.pack_into("<H", out, 30, flag)
    folder = header_end + shift
    (coff_start,) = struct.unpack_from("<I", out, folder)
    struct.pack_into("<I", out, folder, coff_start + shift)
    file_entry = coff_files + shift
    (cb_file,) = struct.unpack_from("<I", out, file_entry)
    struct.pack_into("<I", out, file_entry, cb_file * 2)
    struct.pack_into("<H", out, file_entry + 8, 0xFFFD if prev else 0xFFFE)
    return bytes(out)


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    work = tempfile.mkdtemp()
    try:
        def write(name, content, sub=""):
            folder = os.path.join(work, sub)
            os.makedirs(folder, exist_ok=True)
            path = os.path.join(folder, name)
            with open(path, "wb") as f:
                f.write(content)
            return path

        doc = write("brand_config", DOCUMENT)
        gcab(os.path.join(out_dir, "single.cab"), [doc])

        first = write("a.txt", b"first file\n" * 50)
        # Several data blocks: 200 KiB of text that is not too repetitive.
        big = write("big.bin", b"".join(b"line %06d of the big file\n" % i for i in range(8000)))
        gcab(os.path.join(out_dir, "several.cab"), [first, big, doc])

        # Two members of the same name: the later one counts.
        # gcab refuses two members of one name, so the second is renamed in
        # place (same length) after packing.
        later = write("brand_conf_2", b'{"brand_id": "later"}')
        duplicate = os.path.join(out_dir, "duplicate.cab")
        gcab(duplicate, [doc, later])
        with open(duplicate, "rb") as f:
            packed = f.read()
        assert packed.count(b"brand_conf_2\0") == 1
        with open(duplicate, "wb") as f:
            f.write(packed.replace(b"brand_conf_2\0", b"brand_config\0"))

        with open(os.path.join(out_dir, "not_a_cab.bin"), "wb") as f:
            f.write(DOCUMENT)

        with open(os.path.join(out_dir, "several.cab"), "rb") as f:
            several = f.read()
        # Cut inside the compressed data of the big file.
        with open(os.path.join(out_dir, "truncated.cab"), "wb") as f:
            f.write(several[: len(several) * 2 // 3])
        # One flipped byte in the middle of the compressed data.
        corrupt = bytearray(several)
        corrupt[len(corrupt) // 2] ^= 0x55
        with open(os.path.join(out_dir, "corrupt.cab"), "wb") as f:
            f.write(bytes(corrupt))

        with open(os.path.join(out_dir, "single.cab"), "rb") as f:
            single = f.read()
        with open(os.path.join(out_dir, "continued.cab"), "wb") as f:
            f.write(patch_next_cabinet(single))
        with open(os.path.join(out_dir, "continued_from_previous.cab"), "wb") as f:
            f.write(patch_next_cabinet(single, prev=True))
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
