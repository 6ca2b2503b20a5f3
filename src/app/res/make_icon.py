#!/usr/bin/env python3
"""Draws the program icon Kw39PCAConv.ico: a sheet of table rows with an arrow
into an XML bracket, at 16, 24, 32, 48 and 256 pixels, 32-bit colour with
alpha. Run it only to change the icon; the .ico is kept in the repository."""
import struct
import sys
import zlib
from pathlib import Path

SHEET = (255, 255, 255)
EDGE = (40, 84, 160)
ROW = (120, 150, 200)
ARROW = (230, 120, 20)
CODE = (30, 130, 60)


def shapes():
    """The picture on a 1x1 canvas: list of (test(x, y), colour), later wins."""
    def rect(x0, y0, x1, y1):
        return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1

    def sheet_edge(x, y):
        inner = rect(0.12, 0.08, 0.58, 0.86)(x, y)
        outer = rect(0.08, 0.04, 0.62, 0.90)(x, y)
        return outer and not inner

    def arrow(x, y):
        shaft = rect(0.38, 0.50, 0.58, 0.60)(x, y)
        head = 0.56 <= x <= 0.70 and abs(y - 0.55) <= (0.70 - x) * 1.0
        return shaft or head

    def bracket(x, y):
        # "<" and ">" strokes of an XML tag on the right-hand side.
        def stroke(cx, sign):
            t = (y - 0.30) / 0.50
            if not 0.0 <= t <= 1.0:
                return False
            px = cx + sign * 0.08 * abs(t - 0.5) * 2
            return abs(x - px) <= 0.035
        return stroke(0.75, 1) or stroke(0.95, -1)

    out = [(rect(0.08, 0.04, 0.62, 0.90), SHEET), (sheet_edge, EDGE)]
    for i in range(5):
        top = 0.18 + i * 0.13
        out.append((rect(0.18, top, 0.52, top + 0.05), ROW))
    out.append((bracket, CODE))
    out.append((arrow, ARROW))
    return out


def render(size, samples=4):
    picture = shapes()
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    colour = None
                    for test, c in picture:
                        if test(x, y):
                            colour = c
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = samples * samples
            if acc[3]:
                row.append((int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]),
                            int(255 * acc[3] / n)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def bmp_entry(size, pixels):
    """A DIB image for an icon directory: BGRA rows bottom-up plus an AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            body += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(body) + bytes(mask)


def png_entry(size, pixels):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("Kw39PCAConv.ico")
    sizes = [16, 24, 32, 48, 256]
    images = []
    for size in sizes:
        pixels = render(size, samples=4 if size <= 48 else 2)
        images.append(png_entry(size, pixels) if size == 256 else bmp_entry(size, pixels))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        dim = 0 if size == 256 else size
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    target.write_bytes(directory + b"".join(images))


if __name__ == "__main__":
    main()
