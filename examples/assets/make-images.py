#!/usr/bin/env python3
"""Writes the example site's tiny placeholder images (PNG and GIF).

Run from anywhere: `python3 examples/assets/make-images.py`. The images are
committed, so this is only needed to change them. Only the standard library
is used (zlib, struct).
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SITE = os.path.join(HERE, "..", "site")
LANGUAGES = ["en-us", "de-de", "ru-ru", "ar-sa"]


def png(width, height, pixel):
    """A truecolour PNG; pixel(x, y) gives an (r, g, b) tuple."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter type: none
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def gif(width, height, palette, pixel):
    """A GIF with a 4-colour palette, LZW-compressed as the format requires."""
    colours = bytearray()
    for i in range(4):
        colours.extend(palette[i] if i < len(palette) else (0, 0, 0))
    min_size = 2
    clear, end = 1 << min_size, (1 << min_size) + 1
    codes = []  # (code, width in bits)

    def reset():
        return {(None, i): i for i in range(clear)}, end + 1, min_size + 1

    table, next_code, size = reset()
    codes.append((clear, size))
    prefix = None
    for y in range(height):
        for x in range(width):
            k = pixel(x, y)
            if (prefix, k) in table:
                prefix = table[(prefix, k)]
                continue
            codes.append((prefix, size))
            if next_code < 4096:
                table[(prefix, k)] = next_code
                # The decoder widens its codes one entry later than the
                # encoder adds them, hence the strict comparison.
                if next_code == (1 << size) and size < 12:
                    size += 1
                next_code += 1
            else:
                codes.append((clear, size))
                table, next_code, size = reset()
            prefix = table[(None, k)]
    codes.append((prefix, size))
    codes.append((end, size))
    stream = bytearray()
    acc = bits = 0
    for code, width_bits in codes:
        acc |= code << bits
        bits += width_bits
        while bits >= 8:
            stream.append(acc & 0xFF)
            acc >>= 8
            bits -= 8
    if bits:
        stream.append(acc & 0xFF)
    blocks = bytearray()
    for i in range(0, len(stream), 255):
        part = stream[i:i + 255]
        blocks.append(len(part))
        blocks.extend(part)
    blocks.append(0)
    return (b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF1, 0, 0) + bytes(colours)
            + b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + bytes([min_size]) + bytes(blocks) + b";")


def icon(colour):
    """A 16x16 icon: a filled circle of one colour on white."""
    def pixel(x, y):
        return colour if (x - 7.5) ** 2 + (y - 7.5) ** 2 <= 36 else (255, 255, 255)
    return png(16, 16, pixel)


def logo(x, y):
    """A 160x48 black banner with a white bar and a teal square."""
    if 12 <= x < 40 and 10 <= y < 38:
        return (0, 150, 136)
    if 52 <= x < 148 and 20 <= y < 28:
        return (255, 255, 255)
    return (0, 0, 0)


def window(x, y):
    """A 277x215 sketch of a program window: title bar, search box, result rows."""
    if y < 20:
        return (40, 70, 140)
    if 10 <= x < 267 and 30 <= y < 48:
        return (255, 255, 255) if 11 <= x < 266 and 31 <= y < 47 else (120, 120, 120)
    if y >= 58 and (y - 58) % 18 < 12 and 10 <= x < 200 - (y // 18) * 9:
        return (200, 200, 200)
    return (240, 240, 240)


def donate_button(x, y):
    """A 92x26 yellow rounded button."""
    corner = (x < 3 or x > 88) and (y < 3 or y > 22)
    return (248, 248, 248) if corner else (255, 196, 57)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    assets = {
        "tarnwick9.png": png(160, 48, logo),
        "searchicon.png": icon((120, 120, 120)),
        "cli.png": icon((30, 30, 30)),
        "e2.png": icon((0, 150, 136)),
        "e2-1.3.png": icon((120, 180, 170)),
        "h.png": icon((63, 81, 181)),
        "c.png": icon((255, 152, 0)),
        "cl.png": icon((156, 39, 176)),
        "dot.png": png(16, 16, lambda x, y: (150, 150, 150) if 6 <= x < 10 and 6 <= y < 10 else (255, 255, 255)),
        "sssmall2.gif": gif(277, 215, [(40, 70, 140), (240, 240, 240), (200, 200, 200), (255, 255, 255)],
                            lambda x, y: 0 if y < 20 else (2 if y >= 40 and (y - 40) % 18 < 12 and x < 220 else 1)),
    }
    for name, data in assets.items():
        write(os.path.join(HERE, name), data)
    shot = png(277, 215, window)
    button = png(92, 26, donate_button)
    for lang in LANGUAGES:
        write(os.path.join(SITE, lang, "screenshot.png"), shot)
        write(os.path.join(SITE, lang, "paypal.donate.png"), button)


if __name__ == "__main__":
    main()
