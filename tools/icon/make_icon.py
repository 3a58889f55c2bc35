#!/usr/bin/env python3
"""Draws the program icon (a lit keycap on a dark tile) as a 16, 32 and 48 pixel .ico file."""
import struct
import sys


def pixel(x, y, n):
    """RGBA of pixel (x, y) of an n x n icon."""
    f = (x + 0.5) / n, (y + 0.5) / n
    # Rounded dark tile.
    r = 0.18
    cx = min(max(f[0], r), 1 - r)
    cy = min(max(f[1], r), 1 - r)
    if (f[0] - cx) ** 2 + (f[1] - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    # Keycap: a lighter square with a glowing hue edge, left-to-right cyan to violet.
    if 0.22 < f[0] < 0.78 and 0.2 < f[1] < 0.74:
        edge = min(f[0] - 0.22, 0.78 - f[0], f[1] - 0.2, 0.74 - f[1])
        if edge < 0.06:
            t = f[0]
            return (int(40 + 180 * t), int(220 - 150 * t), 255, 255)
        # The letter Q7's "7": a bar and a diagonal.
        if 0.34 < f[0] < 0.66 and 0.3 < f[1] < 0.36:
            return (235, 240, 250, 255)
        if 0.3 < f[1] < 0.64 and abs((f[0] - 0.66) + (f[1] - 0.33) * 0.55) < 0.045:
            return (235, 240, 250, 255)
        return (46, 52, 66, 255)
    shade = int(24 + 16 * (1 - f[1]))
    return (shade, shade + 4, shade + 12, 255)


def image(n):
    rows = []
    for y in range(n - 1, -1, -1):  # bottom-up
        for x in range(n):
            r, g, b, a = pixel(x, y, n)
            rows.append(struct.pack("<BBBB", b, g, r, a))
    xor = b"".join(rows)
    and_row = ((n + 31) // 32) * 4
    mask = b"\0" * (and_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
