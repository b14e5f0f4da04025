# SPDX-License-Identifier: GPL-3.0-or-later
"""The X screen's pixels and PNG files, without any imaging library: for the README's pictures
(screenshots.py) and the tests that look at what the program draws."""
import ctypes
import struct
import sys
import zlib


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


def grab(x, y, width, height):
    """The screen's pixels in the rectangle, as RGB rows."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    display = x11.XOpenDisplay(None)
    image = x11.XGetImage(display, x11.XDefaultRootWindow(display), x, y, width, height, ~0 & 0xFFFFFFFF, 2)
    if not image or image.contents.bits_per_pixel != 32:
        sys.exit("no picture: the screen is not 24-bit colour")
    img = image.contents
    data = ctypes.string_at(img.data, img.bytes_per_line * height)
    rows = []
    for r in range(height):
        bgrx = data[r * img.bytes_per_line: r * img.bytes_per_line + 4 * width]
        rgb = bytearray(3 * width)
        rgb[0::3], rgb[1::3], rgb[2::3] = bgrx[2::4], bgrx[1::4], bgrx[0::4]
        rows.append(bytes(rgb))
    x11.XCloseDisplay(display)
    return rows


def write_png(path, rows, width):
    """A palette PNG when the picture has 256 colours or fewer, RGB otherwise."""
    colours = {}
    for row in rows:
        for i in range(0, len(row), 3):
            colours.setdefault(row[i:i + 3], len(colours))
        if len(colours) > 256:
            break
    if len(colours) <= 256:
        kind, bpp = 3, 1
        rows = [bytes(colours[row[i:i + 3]] for i in range(0, len(row), 3)) for row in rows]
    else:
        kind, bpp = 2, 3
    raw = bytearray()
    prior = bytes(len(rows[0]))
    for row in rows:
        # Each row filtered the way that leaves the smallest numbers, as PNG encoders do.
        sub = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 255 for i in range(len(row)))
        up = bytes((a - b) & 255 for a, b in zip(row, prior))
        cost = [sum(min(v, 256 - v) for v in f) for f in (row, sub, up)]
        best = cost.index(min(cost)) if bpp == 3 else 0
        raw.append(best)
        raw += (row, sub, up)[best]
        prior = row

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(rows), 8, kind, 0, 0, 0))
    if kind == 3:
        png += chunk(b"PLTE", b"".join(colours))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)



def luminance(rgb):
    """Relative luminance (0 black to 1 white) of an (r, g, b) of 0..255, as WCAG reckons it."""
    def channel(v):
        c = v / 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = rgb
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b)


def pixels(rows):
    """The (r, g, b) of each pixel of grabbed rows."""
    for row in rows:
        for i in range(0, len(row), 3):
            yield row[i], row[i + 1], row[i + 2]
