#!/usr/bin/env python3
"""Draws the macro list's four 13 x 13 row icons as 24-bit BMP files: the ticked and the empty
selection box, the arrow down (a press) and the arrow up (a release). Black is transparent where
the list draws them, so every drawn pixel is some other colour.

    python3 tools/list_bitmaps/make_list_bitmaps.py app/
"""
import struct
import sys

N = 13
BLACK = (0, 0, 0)
FRAME = (138, 143, 153)   # box outline
FACE = (40, 42, 48)       # box inside
ACCENT = (255, 175, 0)    # the list's highlight colour: ticked outline and tick
PRESS = (76, 208, 125)    # arrow down
RELEASE = (255, 122, 69)  # arrow up


def box(ticked):
    def pixel(x, y):
        if not (1 <= x <= 11 and 1 <= y <= 11):
            return BLACK
        corner = (x in (1, 11)) and (y in (1, 11))
        if corner:
            return BLACK
        if x in (1, 11) or y in (1, 11):
            return ACCENT if ticked else FRAME
        if ticked:
            # A tick: down from (3,6) to (5,8), then up to (9,3); two pixels thick.
            for cx, cy in ((3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4)):
                if x == cx and cy <= y <= cy + 1:
                    return ACCENT
        return FACE
    return pixel


def arrow(down, colour):
    def pixel(x, y):
        yy = y if down else N - 1 - y  # drawn pointing down, mirrored for up
        if 5 <= x <= 7 and 1 <= yy <= 6:
            return colour  # shaft
        if 6 <= yy <= 11 and abs(x - 6) <= 11 - yy:
            return colour  # head
        return BLACK
    return pixel


def bmp(pixel):
    row_bytes = (N * 3 + 3) & ~3
    rows = []
    for y in range(N - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(N):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, N, N, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)) + header + data


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    pictures = {
        "macro_ticked.bmp": box(True),
        "macro_unticked.bmp": box(False),
        "macro_arrow_down.bmp": arrow(True, PRESS),
        "macro_arrow_up.bmp": arrow(False, RELEASE),
    }
    for name, pixel in pictures.items():
        with open(f"{folder.rstrip('/')}/{name}", "wb") as f:
            f.write(bmp(pixel))


if __name__ == "__main__":
    main()
