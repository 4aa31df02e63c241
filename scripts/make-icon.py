#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws res/quillon.png, the 48x48 application icon: a small satellite over a night sky,
sending its beacon as dots and dashes. Standard library only, so anyone can redraw it."""
import struct
import sys
import zlib

SIZE = 48
SKY_TOP, SKY_BOTTOM = (12, 24, 60), (32, 60, 110)
BODY, BODY_EDGE = (235, 190, 70), (150, 110, 30)
PANEL, PANEL_GRID = (60, 130, 220), (25, 70, 150)
BEACON = (250, 250, 240)
STAR = (200, 210, 240)


def draw():
    px = [[tuple(int(a + (b - a) * y / (SIZE - 1)) for a, b in zip(SKY_TOP, SKY_BOTTOM))
           for _ in range(SIZE)] for y in range(SIZE)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                px[y][x] = colour

    for x, y in [(5, 4), (40, 6), (30, 2), (8, 30), (44, 27), (20, 8)]:
        px[y][x] = STAR
    # Solar panels left and right, a grid line every third pixel.
    for x0 in (4, 31):
        rect(x0, 13, x0 + 13, 23, PANEL)
        for x in range(x0, x0 + 13, 3):
            rect(x, 13, x + 1, 23, PANEL_GRID)
    rect(17, 17, 31, 19, BODY_EDGE)           # struts
    rect(18, 10, 30, 26, BODY_EDGE)           # body with its edge
    rect(19, 11, 29, 25, BODY)
    rect(23, 26, 25, 31, BODY_EDGE)           # antenna
    # The beacon "-. --." under the satellite, like the CW letters it sends.
    x = 6
    for mark in "-.- --.":
        if mark == " ":
            x += 4
            continue
        width = 5 if mark == "-" else 2
        rect(x, 37, x + width, 40, BEACON)
        x += width + 2
    return px


def png(px):
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in px)
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)  # 8-bit RGB: 24-bit colour
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "res/quillon.png"
    with open(out, "wb") as f:
        f.write(png(draw()))
