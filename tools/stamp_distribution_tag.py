#!/usr/bin/env python3
"""Stamps a distribution parameter text into a copy of a signed installer.

    stamp_distribution_tag.py SIGNED_INSTALLER OUTPUT "lang=tr&banerid=7"

The text goes into the Authenticode certificate table entry, after the PKCS #7
signature and its zero padding to a multiple of 8 bytes:

    "Kvct", the text's length N (big-endian, 16 bits), N bytes of text,
    zero bytes up to the next multiple of 8.

The entry's length field and the size of the certificate data directory grow
by the block's size, and the PE checksum is recomputed. None of these bytes is
covered by the Authenticode hash, so the signature stays valid. A text already
stamped into the input is replaced.
"""

import struct
import sys

MAGIC = b"Kvct"
# From the PE signature, by the optional header's magic: PE32, PE32+.
SECURITY_DIRECTORY_OFFSETS = {0x10B: 152, 0x20B: 168}
CHECKSUM_OFFSET = 24 + 64        # from the PE signature: optional header + 64


class StampError(Exception):
    pass


def pe_checksum(image, checksum_at):
    total = 0
    padded = image + (b"\0" if len(image) % 2 else b"")
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    # The checksum field itself counts as zero.
    for (word,) in struct.iter_unpack("<H", image[checksum_at:checksum_at + 4]):
        total -= word
        if total < 0:
            total += 0xFFFF
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def tag_block_offset(der_length):
    """Offset of the tag block from the certificate entry's start."""
    return (der_length + 19) // 8 * 8


def stamp(image, text):
    if len(text) > 0xFFFF:
        raise StampError("parameter text longer than 65535 bytes")
    if image[:2] != b"MZ":
        raise StampError("not an MZ executable")
    (pe,) = struct.unpack_from("<I", image, 0x3C)
    if image[pe:pe + 4] != b"PE\0\0":
        raise StampError("no PE signature")
    (magic,) = struct.unpack_from("<H", image, pe + 24)
    if magic not in SECURITY_DIRECTORY_OFFSETS:
        raise StampError("not a PE32 or PE32+ image")
    security = pe + SECURITY_DIRECTORY_OFFSETS[magic]
    entry, directory_size = struct.unpack_from("<II", image, security)
    if entry == 0:
        raise StampError("the file is not signed")
    if entry + directory_size != len(image):
        raise StampError("the certificate table is not at the end of the file")
    (entry_length,) = struct.unpack_from("<I", image, entry)
    if entry_length > directory_size or directory_size - entry_length >= 8:
        raise StampError("more than one certificate entry")
    if image[entry + 8:entry + 10] != b"\x30\x82":
        raise StampError("the certificate entry holds no DER signature")
    (der_length,) = struct.unpack_from(">H", image, entry + 10)
    block_start = entry + tag_block_offset(der_length)
    if block_start > len(image):
        raise StampError("the signature runs past the end of the file")

    block = MAGIC + struct.pack(">H", len(text)) + text
    block += b"\0" * (-len(block) % 8)
    # Keep the signature and its padding, drop any earlier tag.
    head = bytearray(image[:block_start])
    head += b"\0" * (block_start - len(head))
    out = head + block
    new_entry_length = len(out) - entry
    struct.pack_into("<I", out, entry, new_entry_length)
    struct.pack_into("<I", out, security + 4, new_entry_length)
    struct.pack_into("<I", out, pe + CHECKSUM_OFFSET, 0)
    struct.pack_into("<I", out, pe + CHECKSUM_OFFSET, pe_checksum(bytes(out), pe + CHECKSUM_OFFSET))
    return bytes(out)


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "rb") as f:
        image = f.read()
    try:
        stamped = stamp(image, argv[3].encode("ascii"))
    except (StampError, struct.error, UnicodeEncodeError) as error:
        sys.stderr.write("stamp_distribution_tag: %s: %s\n" % (argv[1], error))
        return 1
    with open(argv[2], "wb") as f:
        f.write(stamped)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
