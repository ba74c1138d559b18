#!/usr/bin/env python3
# Writes a test photo: photo_shapes.py KIND OUT.
# tall-FMT and wide-FMT: 1 x 2000 and 2000 x 1 (icons: 1 x 255 and 255 x 1), the first 100
# pixels (tall, icons) or 400 (wide) opaque red, the rest transparent where the format has
# transparency (GIF, PNG, ICO, WMF, EMF) and green where it has none (JPEG, BMP).
# over-FMT-W-H: a few bytes declaring a W x H picture. bound-png-W-H, bound-bmp-W-H: a real,
# plain red picture.
# damaged-jpeg and cut-jpeg: a real JPEG cut inside its scan or before it; corrupt-jpeg: a
# broken Huffman table.
import struct
import subprocess
import sys
import zlib

RED, GREEN = (224, 0, 0), (0, 160, 0)


def shape(kind):
    # Width, height and the opaque part's length along the long side.
    # An icon's directory gives its size to Windows' loader, in a byte.
    side = 255 if kind.endswith('ico') else 2000
    opaque = 100 if kind.startswith('tall') or side == 255 else 400
    return ((1, side) if kind.startswith('tall') else (side, 1)), opaque


def pixels(kind, transparent):
    # Row-major RGBA: red over the opaque part, then transparent or green.
    (width, height), opaque = shape(kind)
    rest = (0, 0, 0, 0) if transparent else GREEN + (255,)
    return width, height, [RED + (255,) if i < opaque else rest for i in range(width * height)]


def png(width, height, rows_rgba):
    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows_rgba, 6)) + chunk(b'IEND', b''))


def png_of(width, height, px):
    return png(width, height, b''.join(b'\0' + bytes(c for p in px[y * width:(y + 1) * width] for c in p)
                                       for y in range(height)))


def bmp(width, height, px):
    # 24 bits, bottom-up, rows padded to four bytes.
    stride = (width * 3 + 3) & ~3
    data = b''
    for y in reversed(range(height)):
        row = b''.join(bytes((b, g, r)) for r, g, b, a in px[y * width:(y + 1) * width])
        data += row + b'\0' * (stride - len(row))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data


def ico(width, height, px):
    # 32-bit colours with alpha, and the AND mask that older readers go by: 1 = transparent.
    colours = b''.join(bytes((b, g, r, a)) for y in reversed(range(height))
                       for r, g, b, a in px[y * width:(y + 1) * width])
    stride = ((width + 31) // 32) * 4
    mask = b''
    for y in reversed(range(height)):
        bits = bytearray(stride)
        for x in range(width):
            if px[y * width + x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    info = struct.pack('<IiiHHIIiiII', 40, width, 2 * height, 1, 32, 0, len(colours) + len(mask), 0, 0, 0, 0)
    image = info + colours + mask
    entry = struct.pack('<BBBBHHII', width, height, 0, 0, 1, 32, len(image), 22)
    return struct.pack('<HHH', 0, 1, 1) + entry + image


def wmf(width, height, opaque_rect, inch=96):
    # A placeable metafile, by default at 96 units an inch: a red rectangle, nothing drawn elsewhere.
    head = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, 0, 0, width, height, inch, 0)
    check = 0
    for (word,) in struct.iter_unpack('<H', head):
        check ^= word
    x, y, w, h = opaque_rect
    red = RED[0] | RED[1] << 8 | RED[2] << 16
    records = (struct.pack('<IHhh', 5, 0x020B, 0, 0) + struct.pack('<IHhh', 5, 0x020C, height, width)
               + struct.pack('<IHHIH', 7, 0x02FC, 0, red, 0)                  # CreateBrushIndirect
               + struct.pack('<IHH', 4, 0x012D, 0)                            # SelectObject
               + struct.pack('<IHIhhhh', 9, 0x061D, 0x00F00021, h, w, y, x)   # PatBlt PATCOPY
               + struct.pack('<IH', 3, 0))
    words = (18 + len(records)) // 2
    meta = struct.pack('<HHHIHIH', 1, 9, 0x300, words, 1, 9, 0)
    return head + struct.pack('<H', check) + meta + records


def emf(width, height, opaque_rect):
    # Reference device at 96 per inch: 960 pixels to 254 mm.
    himetric = lambda p: round(p * 2540 / 96)
    x, y, w, h = opaque_rect
    red = RED[0] | RED[1] << 8 | RED[2] << 16
    body = (struct.pack('<IIIII', 39, 24, 1, 0, red) + struct.pack('<I', 0)       # brush 1, solid red
            + struct.pack('<III', 37, 12, 1)                                       # select it
            + struct.pack('<III', 37, 12, 0x80000008)                              # the null pen
            + struct.pack('<IIiiii', 43, 24, x, y, x + w + 1, y + h + 1))         # rectangle
    eof = struct.pack('<IIIII', 14, 20, 0, 16, 20)
    size = 88 + len(body) + len(eof)
    header = struct.pack('<II4i4iIIIIHHIIIii', 1, 88, 0, 0, width - 1, height - 1,
                         0, 0, himetric(width) - 1, himetric(height) - 1,
                         0x464D4520, 0x10000, size, 6, 2, 0, 0, 0, 0, 960, 960) + struct.pack('<ii', 254, 254)
    return header + body + eof


def jpeg(width, height, px, out):
    ppm = b'P6 %d %d 255\n' % (width, height) + b''.join(bytes(p[:3]) for p in px)
    return subprocess.run(['convert', 'ppm:-', '-quality', '95', '-sampling-factor', '1x1', 'jpeg:-'],
                          input=ppm, check=True, stdout=subprocess.PIPE).stdout


def gif(width, height, px):
    png_bytes = png_of(width, height, px)
    return subprocess.run(['convert', 'png:-', 'gif:-'], input=png_bytes, check=True, stdout=subprocess.PIPE).stdout


def declared(fmt, w, h):
    if fmt == 'jpeg':
        frame = b'\xFF\xC0' + struct.pack('>HBHHB', 11, 8, h, w, 1) + b'\x01\x11\x00'
        return b'\xFF\xD8\xFF\xE0' + struct.pack('>H', 16) + b'JFIF\0\1\1\0\0\1\0\1\0\0' + frame + b'\xFF\xD9'
    if fmt == 'gif':      # the screen 1 x 1, the first image W x H
        return b'GIF89a' + struct.pack('<HHBBB', 1, 1, 0, 0, 0) + b',' + struct.pack('<HHHHB', 0, 0, w, h, 0) + b'\x02\x02\x4C\x01\x00;'
    if fmt == 'png':
        return png(w, h, b'')[:33]
    if fmt == 'bmp':      # top-down
        return b'BM' + struct.pack('<IHHI', 54, 0, 0, 54) + struct.pack('<IiiHHIIiiII', 40, w, -h, 1, 24, 0, 0, 0, 0, 0, 0)
    if fmt == 'ico':      # a PNG inside
        inner = png(w, h, b'')[:33]
        return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 0, 0, 0, 0, 1, 32, len(inner), 22) + inner
    if fmt == 'wmf':      # two pixels a unit, as a unit is at most 32767
        return wmf(w // 2, h // 2, (0, 0, 1, 1), inch=48)
    if fmt == 'emf':
        return emf(w, h, (0, 0, 1, 1))
    raise SystemExit('unknown format ' + fmt)


def main(kind, out):
    if kind.startswith('over-'):
        _, fmt, w, h = kind.split('-')
        data = declared(fmt, int(w), int(h))
    elif kind.startswith('bound-png-'):
        w, h = (int(v) for v in kind.split('-')[2:])
        row = b'\0' + bytes(RED + (255,)) * w
        data = png(w, h, row * h)
    elif kind.startswith('bound-bmp-'):
        # 8 bits a pixel, all of them colour 0 of a palette of one, red.
        w, h = (int(v) for v in kind.split('-')[2:])
        pixels_size = ((w + 3) & ~3) * h
        info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, pixels_size, 0, 0, 1, 1)
        palette = bytes((RED[2], RED[1], RED[0], 0))
        offset = 14 + len(info) + len(palette)
        data = b'BM' + struct.pack('<IHHI', offset + pixels_size, 0, 0, offset) + info + palette + bytes(pixels_size)
    elif kind in ('damaged-jpeg', 'cut-jpeg', 'corrupt-jpeg'):
        whole = jpeg(200, 300, [RED + (255,)] * 30000 + [GREEN + (255,)] * 30000, out)
        scan = whole.index(b'\xFF\xDA')
        if kind == 'damaged-jpeg':      # cut inside the scan
            data = whole[:scan + 40]
        elif kind == 'cut-jpeg':        # cut before the scan
            data = whole[:scan]
        else:                           # a Huffman table of more codes than there can be
            table = whole.index(b'\xFF\xC4')
            data = whole[:table + 5] + b'\xFF' * 16 + whole[table + 21:]
    else:
        fmt = kind.split('-')[1]
        (width, height), opaque = shape(kind)
        transparent = fmt in ('gif', 'png', 'ico', 'wmf', 'emf')
        rect = (0, 0, 1, opaque) if kind.startswith('tall') else (0, 0, opaque, 1)
        if fmt == 'wmf':
            data = wmf(width, height, rect)
        elif fmt == 'emf':
            data = emf(width, height, rect)
        else:
            w, h, px = pixels(kind, transparent)
            data = {'png': lambda: png_of(w, h, px), 'bmp': lambda: bmp(w, h, px), 'ico': lambda: ico(w, h, px),
                    'gif': lambda: gif(w, h, px), 'jpeg': lambda: jpeg(w, h, px, out)}[fmt]()
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
