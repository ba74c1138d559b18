#!/usr/bin/env python3
"""Turns the window's PNG artwork into the forms a Windows resource script takes: the
pictures as BMP (8 bits with a palette when the drawing has no more than 256 colours, else
24 bits) and the two pointers as CUR files with their hot spots. Standard library only.

The @2x drawings, for screens above 96 DPI, go as run-length coded BMPs (the program decodes
them itself) and as pointers twice the size.

Run from anywhere after redrawing the art: python3 assets/windows/convert.py
"""
import struct
import sys
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
ASSETS = HERE.parent
PICTURES = ["frame", "link", "close", "faccia", "fumetto", "logo"]
# name: (source, hot spot); the icon pointer's hot spot is the middle of the icon.
POINTERS = {"hand": ("hand", (13, 4)), "iconpointer": ("icon", (16, 16))}


def read_png(path):
    """Returns (width, height, rows of (r, g, b, a)) for a non-interlaced 8-bit PNG."""
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat, palette, alpha = 8, b"", [], []
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or interlace or colour not in (2, 3, 6):
                sys.exit(f"{path}: only 8-bit RGB, RGBA or palette PNGs, not interlaced")
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, length, 3)]
        elif kind == b"tRNS":
            alpha = list(body)
        elif kind == b"IDAT":
            idat += body
    channels = {2: 3, 3: 1, 6: 4}[colour]
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytes(stride)
    for y in range(height):
        filt = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if filt == 1:
                line[i] = (line[i] + left) & 255
            elif filt == 2:
                line[i] = (line[i] + up) & 255
            elif filt == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif filt == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        previous = bytes(line)
        pixels = []
        for x in range(width):
            px = line[x * channels:(x + 1) * channels]
            if colour == 3:
                index = px[0]
                pixels.append(palette[index] + (alpha[index] if index < len(alpha) else 255,))
            elif colour == 2:
                pixels.append(tuple(px) + (255,))
            else:
                pixels.append(tuple(px))
        rows.append(pixels)
    return width, height, rows


def bitmap_info(width, height, bits, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 2835, 2835, colours, 0)


def write_bmp(path, width, height, rows):
    colours = sorted({p[:3] for row in rows for p in row})
    if len(colours) <= 256:
        index = {c: i for i, c in enumerate(colours)}
        stride = (width + 3) & ~3
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        pixels = b"".join(bytes(index[p[:3]] for p in row).ljust(stride, b"\0") for row in reversed(rows))
        info = bitmap_info(width, height, 8, len(colours)) + table
    else:
        stride = (width * 3 + 3) & ~3
        pixels = b"".join(b"".join(bytes((b, g, r)) for r, g, b, _ in row).ljust(stride, b"\0")
                          for row in reversed(rows))
        info = bitmap_info(width, height, 24, 0)
    offset = 14 + len(info)
    path.write_bytes(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + pixels)


def write_rle_bmp(path, width, height, rows):
    """8 bits with a palette, coded in runs (BI_RLE8): the large pictures take a tenth of the room."""
    colours = sorted({p[:3] for row in rows for p in row})
    if len(colours) > 256:
        sys.exit(f"{path}: more than 256 colours")
    index = {c: i for i, c in enumerate(colours)}
    pixels = bytearray()
    for row in reversed(rows):
        line = [index[p[:3]] for p in row]
        x = 0
        while x < width:
            run = 1
            while x + run < width and run < 255 and line[x + run] == line[x]:
                run += 1
            pixels += bytes((run, line[x]))
            x += run
        pixels += b"\0\0"
    pixels[-2:] = b"\0\1"
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(pixels), 2835, 2835, len(colours), 0) + table
    offset = 14 + len(info)
    path.write_bytes(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + pixels)


def write_cur(path, width, height, rows, hot_spot):
    # 32-bit colour with alpha, then the 1-bit mask that older systems go by.
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((width + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    image = bitmap_info(width, height * 2, 32, 0) + colour + mask
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", width & 255, height & 255, 0, 0, hot_spot[0], hot_spot[1], len(image), 6 + 16)
    path.write_bytes(header + entry + image)


def main():
    for name in PICTURES:
        width, height, rows = read_png(ASSETS / f"{name}.png")
        write_bmp(HERE / f"{name}.bmp", width, height, rows)
        width, height, rows = read_png(ASSETS / f"{name}@2x.png")
        write_rle_bmp(HERE / f"{name}@2x.bmp", width, height, rows)
    for name, (source, hot_spot) in POINTERS.items():
        width, height, rows = read_png(ASSETS / f"{source}.png")
        write_cur(HERE / f"{name}.cur", width, height, rows, hot_spot)
        width, height, rows = read_png(ASSETS / f"{source}@2x.png")
        write_cur(HERE / f"{name}@2x.cur", width, height, rows, (hot_spot[0] * 2, hot_spot[1] * 2))


if __name__ == "__main__":
    main()
