#!/usr/bin/env python3
"""Turns one of the installer's PNG images into the pixels the window draws,
packed in a compressed cabinet:

    pack_images.py GCAB EPOCH_FILE IMAGE.png OUTPUT.cab

The cabinet's one member, "image", holds the width and the height as
little-endian 32-bit numbers, then the rows from the top, four bytes per
pixel: blue, green, red premultiplied by alpha, and alpha. That is what a
32-bit top-down bitmap holds, so the program only unpacks and copies it: no
image decoder runs while the window starts. The PNG files stay the artwork's
source (scripts/make_images.py); this reads the 8-bit, non-interlaced kinds
that script writes: grey, RGB, palette (with tRNS alpha), grey with alpha and
RGBA.
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
MEMBER = "image"
# Channels per pixel of each PNG colour type.
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunks(data):
    if not data.startswith(PNG_SIGNATURE):
        raise ValueError("not a PNG file")
    position = len(PNG_SIGNATURE)
    while position + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        yield kind, data[position + 8:position + 8 + length]
        position += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, height, stride, bpp):
    rows = []
    previous = bytearray(stride)
    position = 0
    for _ in range(height):
        kind = raw[position]
        row = bytearray(raw[position + 1:position + 1 + stride])
        position += 1 + stride
        for i in range(stride):
            left = row[i - bpp] if i >= bpp else 0
            up = previous[i]
            up_left = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xff
            elif kind == 2:
                row[i] = (row[i] + up) & 0xff
            elif kind == 3:
                row[i] = (row[i] + ((left + up) >> 1)) & 0xff
            elif kind == 4:
                row[i] = (row[i] + paeth(left, up, up_left)) & 0xff
            elif kind != 0:
                raise ValueError("unknown PNG filter %d" % kind)
        rows.append(bytes(row))
        previous = row
    return rows


def rgba_pixels(png):
    """(width, height, RGBA bytes) of a PNG file's image."""
    header = None
    palette = b""
    palette_alpha = b""
    compressed = b""
    for kind, body in chunks(png):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = body
        elif kind == b"tRNS":
            palette_alpha = body
        elif kind == b"IDAT":
            compressed += body
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or interlace != 0 or colour not in CHANNELS:
        raise ValueError("unsupported PNG kind: depth %d, colour %d, interlace %d" % (depth, colour, interlace))
    channels = CHANNELS[colour]
    rows = unfilter(zlib.decompress(compressed), height, width * channels, channels)
    out = bytearray()
    for row in rows:
        for x in range(width):
            p = row[x * channels:(x + 1) * channels]
            if colour == 0:
                out += bytes((p[0], p[0], p[0], 255))
            elif colour == 2:
                out += p + b"\xff"
            elif colour == 3:
                index = p[0]
                alpha = palette_alpha[index] if index < len(palette_alpha) else 255
                out += palette[3 * index:3 * index + 3] + bytes((alpha,))
            elif colour == 4:
                out += bytes((p[0], p[0], p[0], p[1]))
            else:
                out += p
    return width, height, bytes(out)


def premultiplied_bgra(rgba):
    out = bytearray(len(rgba))
    for i in range(0, len(rgba), 4):
        r, g, b, a = rgba[i:i + 4]
        out[i] = (b * a + 127) // 255
        out[i + 1] = (g * a + 127) // 255
        out[i + 2] = (r * a + 127) // 255
        out[i + 3] = a
    return bytes(out)


def main(argv):
    if len(argv) != 5:
        sys.stderr.write(__doc__)
        return 2
    gcab, epoch_file, image, output = argv[1:]
    with open(image, "rb") as f:
        width, height, rgba = rgba_pixels(f.read())
    member = struct.pack("<II", width, height) + premultiplied_bgra(rgba)
    with tempfile.TemporaryDirectory(dir=os.path.dirname(os.path.abspath(output))) as staging:
        pixels = os.path.join(staging, MEMBER)
        with open(pixels, "wb") as f:
            f.write(member)
        pack_cabinet = os.path.join(os.path.dirname(os.path.abspath(__file__)), "brand", "pack_cabinet.py")
        subprocess.run([sys.executable, pack_cabinet, gcab, epoch_file, pixels, MEMBER, output], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
