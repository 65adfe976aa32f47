"""The X display as the Windows tests see it: Wine's top-level windows found by their titles,
answered with real key presses, and pictures of the whole screen.

Wine draws every top-level window as an X window named by the window's title, so a message box
is found by its caption. Keys go in through XTEST after the box has the input focus: what a
person's keyboard would do, not a message posted to the program.
"""
import ctypes
import ctypes.util
import os
import struct
import subprocess
import time
import zlib


def _xdotool(display_env, *args, timeout_s=10):
    env = dict(os.environ, **display_env)
    done = subprocess.run(["xdotool"] + list(args), env=env, capture_output=True, text=True,
                          timeout=timeout_s)
    return done.returncode, done.stdout


def visible_windows(display_env, title):
    """Ids of the mapped windows whose whole title is `title`."""
    code, out = _xdotool(display_env, "search", "--onlyvisible", "--name",
                         "^%s$" % _regex_escape(title))
    return [line for line in out.split() if line.strip()] if code == 0 else []


def _regex_escape(text):
    return "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in text)


def wait_for_window(display_env, title, timeout_s, process=None, exclude=()):
    """The id of the first mapped window titled `title` that is not in `exclude`; None when none
    appeared in time or the process ended first."""
    deadline = time.monotonic() + timeout_s
    while time.monotonic() < deadline:
        found = [w for w in visible_windows(display_env, title) if w not in exclude]
        if found:
            return found[0]
        if process is not None and process.poll() is not None:
            return None
        time.sleep(0.1)
    return None


def stacking_order(display_env):
    """Ids of the root's child windows from the bottom to the top, as xdotool writes them."""
    env = dict(os.environ, **display_env)
    listing = subprocess.run(["xwininfo", "-root", "-children"], env=env, capture_output=True,
                             text=True, timeout=10).stdout
    return [str(int(line.split()[0], 16)) for line in listing.splitlines()
            if line.strip().startswith("0x")][::-1]


def geometry(display_env, window):
    """(x, y, width, height) of a window, as the X server places it."""
    code, out = _xdotool(display_env, "getwindowgeometry", "--shell", window)
    if code != 0:
        return None
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def press(display_env, window, *keys):
    """Gives the window the input focus and presses the keys, one after another."""
    _xdotool(display_env, "windowfocus", "--sync", window)
    time.sleep(0.2)
    for key in keys:
        _xdotool(display_env, "key", "--clearmodifiers", key)
        time.sleep(0.1)


def activate_by_title_bar(display_env, window):
    """Clicks the window's title bar, which is how Wine's own windows (no window manager here)
    become the active window; a key press then reaches that window and no other."""
    box = geometry(display_env, window)
    if box is None:
        return
    left, top, width, _ = box
    # No --sync: it waits for a motion that never comes when the pointer is there already.
    _xdotool(display_env, "mousemove", str(left + width // 2), str(top + 8))
    time.sleep(0.1)
    _xdotool(display_env, "click", "1")
    time.sleep(0.3)


# --- pictures -----------------------------------------------------------------------------------

class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


_ZPIXMAP = 2
_ALL_PLANES = ctypes.c_ulong(0xFFFFFFFF)


def _xlib():
    lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XDefaultRootWindow.restype = ctypes.c_ulong
    lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    lib.XGetImage.restype = ctypes.POINTER(_XImage)
    lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    lib.XFree.argtypes = [ctypes.c_void_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    lib.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
    return lib


def grab_screen(display, path):
    """Saves the whole screen of `display` (":N") as an RGB PNG; returns (width, height, rows)
    with rows as bytes of RGB triples."""
    lib = _xlib()
    connection = lib.XOpenDisplay(display.encode())
    if not connection:
        raise RuntimeError("cannot open display %s" % display)
    try:
        root = lib.XDefaultRootWindow(connection)
        root_return = ctypes.c_ulong()
        x, y = ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = (ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(),
                                        ctypes.c_uint())
        lib.XGetGeometry(connection, root, ctypes.byref(root_return), ctypes.byref(x),
                         ctypes.byref(y), ctypes.byref(width), ctypes.byref(height),
                         ctypes.byref(border), ctypes.byref(depth))
        image = lib.XGetImage(connection, root, 0, 0, width.value, height.value, _ALL_PLANES,
                              _ZPIXMAP)
        if not image:
            raise RuntimeError("XGetImage failed on %s" % display)
        info = image.contents
        if info.bits_per_pixel != 32:
            raise RuntimeError("only 32-bit screens are read here")
        raw = ctypes.string_at(info.data, info.bytes_per_line * info.height)
        rows = []
        for row in range(info.height):
            line = raw[row * info.bytes_per_line: row * info.bytes_per_line + info.width * 4]
            # Little-endian BGRX to RGB.
            rgb = bytearray(info.width * 3)
            rgb[0::3] = line[2::4]
            rgb[1::3] = line[1::4]
            rgb[2::3] = line[0::4]
            rows.append(bytes(rgb))
        result = (info.width, info.height, rows)
        # XDestroyImage is a macro of Xlib's header: free the pixels and the image ourselves.
        lib.XFree(info.data)
        lib.XFree(image)
    finally:
        lib.XCloseDisplay(connection)
    _write_png(path, result[0], result[1], result[2])
    return result


def _write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))


def pixel(shot, x, y):
    """(r, g, b) at (x, y) of a grab_screen result."""
    _, _, rows = shot
    start = x * 3
    return tuple(rows[y][start:start + 3])
