#!/usr/bin/env python3
"""Draws the installer's images with ImageMagick and writes them, compactly
encoded, into resources/images/. Run it after changing the artwork and commit
the results; the build only embeds the files.

ImageMagick draws (convert-im6.q16, raw RGBA out); this script encodes every
image as PNG, the decoder's most compact format: palette with transparency,
grey with alpha or RGBA, whichever the image's table entry asks for, and the
checkbox strip opaque, as a palette.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "images")
CONVERT = shutil.which("convert-im6.q16") or "convert"
FONT = "Liberation-Sans"
FONT_BOLD = "Liberation-Sans-Bold"

ORANGE = ("#ff7a1a", "#ff8f3d", "#e8640a")       # normal, hot, pressed
YELLOW = ("#ffd23f", "#ffdc66", "#f0c000")
GREY = ("#e4e4e4", "#ececec", "#d2d2d2")


def draw(width, height, args):
    """Runs convert on a transparent canvas; returns RGBA bytes."""
    cmd = [CONVERT, "-size", "%dx%d" % (width, height), "xc:none"] + args + [
        "-depth", "8", "rgba:-"]
    data = subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout
    if len(data) != width * height * 4:
        raise RuntimeError("unexpected size from %s" % " ".join(cmd))
    return data


def png_chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))


def png(width, height, color_type, rows, palette=None, alpha=None):
    out = b"\x89PNG\r\n\x1a\n"
    out += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, color_type, 0, 0, 0))
    if palette is not None:
        out += png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
        if alpha:
            out += png_chunk(b"tRNS", bytes(alpha))
    raw = b"".join(b"\x00" + row for row in rows)
    # Try the PNG filters per image and keep the smallest stream.
    best = zlib.compress(raw, 9)
    bpp = {3: 1, 4: 2, 6: 4}[color_type]
    for kind in (1, 2, 4):
        filtered = bytearray()
        previous = bytes(len(rows[0]))
        for row in rows:
            filtered.append(kind)
            for i, value in enumerate(row):
                left = row[i - bpp] if i >= bpp else 0
                up = previous[i]
                if kind == 1:
                    predictor = left
                elif kind == 2:
                    predictor = up
                else:
                    upper_left = previous[i - bpp] if i >= bpp else 0
                    p = left + up - upper_left
                    pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
                    predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else upper_left)
                filtered.append((value - predictor) & 0xff)
            previous = row
        candidate = zlib.compress(bytes(filtered), 9)
        if len(candidate) < len(best):
            best = candidate
    out += png_chunk(b"IDAT", best)
    out += png_chunk(b"IEND", b"")
    return out


def pixels(data):
    return [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]


def quantize_alpha(px, step):
    """Rounds alpha (and the colour of nearly invisible pixels) to fewer
    levels so that a soft shadow fits in a 256-colour palette."""
    result = []
    for r, g, b, a in px:
        a = min(255, int(round(a / step)) * step)
        if a == 0:
            r = g = b = 0
        result.append((r, g, b, a))
    return result


def write_palette_png(name, width, height, data):
    px = pixels(data)
    for step in (1, 2, 3, 4, 6, 8):
        q = quantize_alpha(px, step)
        colours = sorted(set(q), key=lambda c: c[3])
        if len(colours) <= 256:
            break
    else:
        raise RuntimeError("%s: too many colours for a palette" % name)
    index = {c: i for i, c in enumerate(colours)}
    rows = [bytes(index[q[y * width + x]] for x in range(width)) for y in range(height)]
    palette = [c[:3] for c in colours]
    alpha = [c[3] for c in colours]
    # tRNS may stop after the last translucent entry.
    while alpha and alpha[-1] == 255:
        alpha.pop()
    save(name, png(width, height, 3, rows, palette, alpha))


def write_grey_alpha_png(name, width, height, data):
    px = pixels(data)
    rows = []
    for y in range(height):
        row = bytearray()
        for r, g, b, a in px[y * width:(y + 1) * width]:
            row += bytes(((r * 299 + g * 587 + b * 114) // 1000, a))
        rows.append(bytes(row))
    save(name, png(width, height, 4, rows))


def write_rgba_png(name, width, height, data):
    rows = [data[y * width * 4:(y + 1) * width * 4] for y in range(height)]
    save(name, png(width, height, 6, rows))


def write_over_white_png(name, width, height, data):
    """The checkbox strip, stored opaque: each colour as it looks over the
    white panel that the checkboxes sit on, as a palette PNG when the strip
    has at most 256 colours. (Opaque because the strip was once a 32-bit BMP,
    whose alpha GDI+ does not keep everywhere; drawn over white it looks the
    same as with alpha, and the tests expect exactly these pixels.)"""
    px = pixels(data)
    opaque = []
    for r, g, b, a in px:
        opaque.append(tuple((c * a + 255 * (255 - a)) // 255 for c in (r, g, b)) + (255,))
    colours = sorted(set(opaque))
    if len(colours) > 256:
        write_rgba_png(name, width, height, b"".join(bytes(c) for c in opaque))
        return
    index = {c: i for i, c in enumerate(colours)}
    rows = [bytes(index[opaque[y * width + x]] for x in range(width)) for y in range(height)]
    save(name, png(width, height, 3, rows, [c[:3] for c in colours], []))


def save(name, data):
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(data)
    print("%-22s %6d bytes" % (name, len(data)))


def button_strip(frame_w, frame_h, colours, radius, border=None):
    args = []
    for i, colour in enumerate(colours):
        x0 = i * frame_w
        args += ["-fill", colour, "-stroke", border or "none", "-strokewidth", "1" if border else "0",
                 "-draw", "roundrectangle %g,%g %g,%g %d,%d" % (
                     x0 + 0.5, 0.5, x0 + frame_w - 1.5, frame_h - 1.5, radius, radius)]
    return draw(frame_w * 3, frame_h, args)


def shadowed_panel(width, height, panel, blur, opacity, drop, logo=False):
    """A white panel at `panel` (x, y, w, h) over a soft black shadow that is
    moved `drop` pixels down, so the band is heavier at the bottom."""
    x, y, w, h = panel
    with tempfile.TemporaryDirectory() as tmp:
        shadow = os.path.join(tmp, "shadow.png")
        subprocess.run([CONVERT, "-size", "%dx%d" % (width, height), "xc:none",
                        "-fill", "black", "-draw", "rectangle %d,%d %d,%d" % (
                            x, y + drop, x + w - 1, y + h - 1 + drop),
                        "-channel", "A", "-blur", "0x%g" % blur,
                        "-evaluate", "multiply", "%g" % opacity, "+channel", shadow],
                       check=True)
        args = ["-fill", "white", "-draw", "rectangle %d,%d %d,%d" % (x, y, x + w - 1, y + h - 1)]
        if logo:
            cx, cy = x + 82, y + 96
            args += [
                # A round orange mark with a light swoosh and the product name.
                "-fill", "#ff7a1a", "-draw", "circle %d,%d %d,%d" % (cx, cy, cx + 34, cy),
                "-fill", "#ffb27a", "-draw", "circle %d,%d %d,%d" % (cx - 8, cy - 8, cx + 14, cy - 8),
                "-fill", "#ff7a1a", "-draw", "circle %d,%d %d,%d" % (cx - 2, cy - 2, cx + 16, cy - 2),
                "-fill", "white", "-draw", "circle %d,%d %d,%d" % (cx, cy, cx + 9, cy),
                "-font", FONT_BOLD, "-pointsize", "22", "-fill", "#333333",
                "-gravity", "NorthWest", "-annotate", "+%d+%d" % (x + 47, cy + 46), "Korvex",
                "-font", FONT, "-pointsize", "15", "-fill", "#888888",
                "-annotate", "+%d+%d" % (x + 54, cy + 74), "Browser",
            ]
        cmd = [CONVERT, shadow] + args + ["-depth", "8", "rgba:-"]
        data = subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout
    if len(data) != width * height * 4:
        raise RuntimeError("unexpected panel size")
    return data


def checkbox_strip():
    args = []
    for i in range(6):
        x0 = i * 15
        checked = i >= 3
        state = i % 3
        if checked:
            fill = ORANGE[state]
            stroke = ORANGE[2] if state != 1 else ORANGE[0]
        else:
            fill = ("#ffffff", "#ffffff", "#eeeeee")[state]
            stroke = ("#a0a0a0", "#ff7a1a", "#e8640a")[state]
        args += ["-fill", fill, "-stroke", stroke, "-strokewidth", "1",
                 "-draw", "roundrectangle %g,%g %g,%g 2,2" % (x0 + 0.5, 0.5, x0 + 13.5, 13.5)]
        if checked:
            args += ["-fill", "none", "-stroke", "white", "-strokewidth", "2",
                     "-draw", "polyline %g,%g %g,%g %g,%g" % (x0 + 3.5, 7.5, x0 + 6, 10.5, x0 + 11.5, 4.5)]
    return draw(90, 15, args)


def icon():
    """The program's icon: 48, 32 and 16 pixel frames, each stored as a PNG
    image (a fourth of the bitmap frames' size). The icon loader reads
    PNG-compressed frames from Windows Vista on, so every supported system
    shows them."""
    frames = []
    for size in (48, 32, 16):
        rgba = subprocess.run([CONVERT, "-size", "192x192", "xc:none",
                               "-fill", "#ff7a1a", "-draw", "circle 96,96 96,4",
                               "-fill", "#ffb27a", "-draw", "circle 76,76 76,32",
                               "-fill", "#ff7a1a", "-draw", "circle 92,92 92,52",
                               "-fill", "white", "-draw", "circle 96,96 96,70",
                               "-resize", "%dx%d" % (size, size), "-depth", "8", "rgba:-"],
                              check=True, stdout=subprocess.PIPE).stdout
        if len(rgba) != size * size * 4:
            raise RuntimeError("unexpected icon frame size")
        rows = [rgba[y * size * 4:(y + 1) * size * 4] for y in range(size)]
        frames.append((size, png(size, size, 6, rows)))
    # ICONDIR, one ICONDIRENTRY per frame (32 bits per pixel), the images.
    offset = 6 + 16 * len(frames)
    data = struct.pack("<HHH", 0, 1, len(frames))
    for size, image in frames:
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, image in frames)
    save("installer.ico", data)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_over_white_png("checkbox_302.png", 90, 15, checkbox_strip())
    write_rgba_png("main_background_307.png", 690, 296,
                   shadowed_panel(690, 296, (20, 20, 650, 256), 6, 0.32, 4, logo=True))
    write_rgba_png("install_button_309.png", 588, 34, button_strip(196, 34, ORANGE, 3))
    write_grey_alpha_png("cancel_button_310.png", 309, 34, button_strip(103, 34, GREY, 3))
    write_rgba_png("progress_fill_313.png", 130, 11,
                   draw(130, 11, ["-fill", ORANGE[0], "-draw", "roundrectangle 0.5,0.5 128.5,9.5 4,4"]))
    write_rgba_png("progress_track_314.png", 130, 11,
                   draw(130, 11, ["-fill", "#e2e2e2", "-draw", "roundrectangle 0.5,0.5 128.5,9.5 4,4"]))
    write_palette_png("message_background_315.png", 410, 186,
                      shadowed_panel(410, 186, (5, 3, 400, 176), 2.2, 0.38, 2))
    write_rgba_png("message_ok_button_316.png", 360, 28, button_strip(120, 28, YELLOW, 3))
    write_grey_alpha_png("message_cancel_button_317.png", 360, 28, button_strip(120, 28, GREY, 3))
    icon()
    return 0


if __name__ == "__main__":
    sys.exit(main())
