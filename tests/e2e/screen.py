"""Pictures of the X display and of PNG files, read with the standard library only."""
import os
import struct
import subprocess
import zlib


class Image:
    """An 8-bit RGB or RGBA PNG, decoded; pixel(x, y) gives (r, g, b, a)."""

    def __init__(self, width, height, channels, rows):
        self.width = width
        self.height = height
        self.channels = channels
        self.rows = rows

    def pixel(self, x, y):
        row = self.rows[y]
        start = x * self.channels
        values = tuple(row[start:start + self.channels])
        return values if self.channels == 4 else values + (255,)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is not a PNG" % path)
    position, header, compressed = 8, None, b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        position += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError("%s: only 8-bit RGB(A), not interlaced, is read here" % path)
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(compressed)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            upper_left = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                line[i] = (line[i] + _paeth(left, up, upper_left)) & 0xFF
        rows.append(line)
        previous = line
    return Image(width, height, channels, rows)


def grab(grabber, display_environment, path):
    """Saves the whole display as a PNG with the orbis-screen-grab program."""
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    env.update(display_environment)
    subprocess.run([grabber, path], env=env, check=True, timeout=30,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return read_png(path)


def opaque_match(artwork, screen, left, top, tolerance=8, step=3):
    """The share of the artwork's fully opaque pixels (every `step`-th in each direction) that the
    screen shows at (left, top) in the same colour, within `tolerance` per channel."""
    matching = total = 0
    for y in range(0, artwork.height, step):
        for x in range(0, artwork.width, step):
            r, g, b, a = artwork.pixel(x, y)
            if a != 255:
                continue
            total += 1
            sx, sy = left + x, top + y
            if 0 <= sx < screen.width and 0 <= sy < screen.height:
                shown = screen.pixel(sx, sy)
                if all(abs(p - q) <= tolerance for p, q in zip((r, g, b), shown[:3])):
                    matching += 1
    return matching / total if total else 0.0
