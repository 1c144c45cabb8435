#!/usr/bin/env python3
"""Draws the page setup's orientation pictures, data/vyska.bmp (portrait) and data/sirka.bmp
(landscape): a 49 x 49 picture of a sheet with a folded corner and lines of text, in the
colours of the built-in portrait picture. Run from the repository's root."""
import struct

SIZE = 49
BACKGROUND = (240, 240, 240)
SHADOW = (160, 160, 168)
EDGE = (70, 70, 90)
PAPER = (255, 255, 255)
FOLD = (214, 220, 236)
TEXT = (150, 156, 176)
TITLE = (40, 90, 180)


def sheet(width, height):
    px = [[BACKGROUND] * SIZE for _ in range(SIZE)]
    left, top = (SIZE - width) // 2, (SIZE - height) // 2
    right, bottom = left + width - 1, top + height - 1
    fold = 8

    def put(x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = c

    for y in range(top + 2, bottom + 3):          # shadow, lower right
        for x in range(left + 2, right + 3):
            put(x, y, SHADOW)
    for y in range(top, bottom + 1):              # the paper, its corner cut off
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:
                put(x, y, BACKGROUND if y < top + fold else PAPER)
                continue
            put(x, y, PAPER)
    for x in range(left, right - fold + 1):       # outline
        put(x, top, EDGE)
    for x in range(left, right + 1):
        put(x, bottom, EDGE)
    for y in range(top, bottom + 1):
        put(left, y, EDGE)
    for y in range(top + fold, bottom + 1):
        put(right, y, EDGE)
    for i in range(fold + 1):                     # the folded corner
        put(right - fold + i, top + i, EDGE)
        for j in range(i):
            put(right - fold + j, top + i, FOLD)
        put(right - fold, top + i, EDGE)
        put(right - fold + i, top + fold, EDGE)
    y = top + 4                                   # a heading and lines of text
    for x in range(left + 4, left + 4 + min(10, width - 16)):
        put(x, y, TITLE)
        put(x, y + 1, TITLE)
    y += 5
    n = 0
    while y < bottom - 3:
        end = right - 4 if n % 4 != 3 else left + (width * 2) // 3
        for x in range(left + 4, end + 1):
            put(x, y, TEXT)
        y += 3
        n += 1
    return px


def write_bmp(path, px):
    row = SIZE * 3
    pad = (4 - row % 4) % 4
    data = bytearray()
    for y in range(SIZE - 1, -1, -1):             # bottom-up rows, BGR
        for r, g, b in px[y]:
            data += bytes((b, g, r))
        data += b"\0" * pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


write_bmp("data/vyska.bmp", sheet(31, 41))
write_bmp("data/sirka.bmp", sheet(41, 31))
