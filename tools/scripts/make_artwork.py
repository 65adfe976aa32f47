#!/usr/bin/env python3
"""Draws the product artwork (splash and icon) as RGBA PNGs with the standard library only.

    make_artwork.py OUT_DIR

The artwork is a dark disc with a bright orbit ring and a small planet, on a transparent
background, anti-aliased by supersampling. Re-run only when the artwork changes; the PNGs are
committed.
"""
import math
import struct
import sys
import zlib
from pathlib import Path


def png_bytes(width, height, rgba_rows):
    raw = b"".join(b"\x00" + bytes(row) for row in rgba_rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def sample(x, y):
    """Colour (r, g, b, a) at a point of the unit square [-1, 1]²."""
    r = math.hypot(x, y)
    # Orbit ring: an ellipse tilted by 25 degrees.
    angle = math.radians(-25)
    ex = x * math.cos(angle) - y * math.sin(angle)
    ey = x * math.sin(angle) + y * math.cos(angle)
    ring = abs(math.hypot(ex / 0.92, ey / 0.38) - 1.0)
    if ring < 0.035:
        return (90, 200, 255, 255)
    planet = math.hypot(x - 0.62, y + 0.30)
    if planet < 0.11:
        return (255, 196, 64, 255)
    if r < 0.62:
        shade = 1.0 - 0.45 * r
        return (int(24 * shade), int(58 * shade), int(110 * shade), 255)
    if r < 0.66:
        return (60, 120, 200, 255)
    return (0, 0, 0, 0)


def render(size, supersample=3):
    rows = []
    n = supersample
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0, 0, 0, 0]
            for sj in range(n):
                for si in range(n):
                    x = ((i + (si + 0.5) / n) / size) * 2 - 1
                    y = ((j + (sj + 0.5) / n) / size) * 2 - 1
                    c = sample(x, y)
                    acc[0] += c[0] * c[3]
                    acc[1] += c[1] * c[3]
                    acc[2] += c[2] * c[3]
                    acc[3] += c[3]
            alpha = acc[3] / (n * n)
            if acc[3]:
                row += [int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3])]
            else:
                row += [0, 0, 0]
            row.append(int(alpha + 0.5))
        rows.append(row)
    return rows


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "splash.png").write_bytes(png_bytes(450, 450, render(450)))
    (out / "orbis-campus.png").write_bytes(png_bytes(128, 128, render(128)))


if __name__ == "__main__":
    main()
