#!/usr/bin/env python3
"""Wraps a PNG in a one-image .ico file (Windows reads PNG-compressed icon images since Vista).

  png_to_ico.py INPUT.png OUTPUT.ico
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise ValueError("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main(source, target):
    with open(source, "rb") as f:
        data = f.read()
    width, height = png_size(data)
    if width > 256 or height > 256:
        raise ValueError("an icon image is at most 256 x 256 pixels")
    header = struct.pack("<HHH", 0, 1, 1)
    # A side of 256 is written as 0; the image data follows the header and the one entry.
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), 6 + 16)
    with open(target, "wb") as f:
        f.write(header + entry + data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
