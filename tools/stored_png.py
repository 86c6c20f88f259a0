#!/usr/bin/env python3
# Rewrites 8-bit RGBA PNGs with the same pixels, no row filters and deflate's stored blocks, so that
# reading one is little more than a copy (the window icon is read at every start; see
# resources/resources.qrc). Usage: tools/stored_png.py FILE.png...
import struct
import sys
import zlib


def chunks(data):
    at = 8
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        yield data[at + 4:at + 8], data[at + 8:at + 8 + length]
        at += 12 + length


def unfiltered_rows(raw, width, height, bpp=4):
    stride, rows, prev, at = width * bpp, [], bytearray(width * bpp), 0
    for _ in range(height):
        kind, row = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for x in range(stride):
            a = row[x - bpp] if x >= bpp else 0
            b, c = prev[x], prev[x - bpp] if x >= bpp else 0
            if kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                a = a if pa <= pb and pa <= pc else b if pb <= pc else c
            row[x] = (row[x] + (0, a, b, (a + b) // 2, a)[kind]) & 0xFF
        rows.append(bytes(row))
        prev = row
    return rows


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


for path in sys.argv[1:]:
    data = open(path, "rb").read()
    parts = list(chunks(data))
    header = dict(parts)[b"IHDR"]
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", header)
    assert (depth, colour, interlace) == (8, 6, 0), f"{path}: not 8-bit RGBA without interlace"
    raw = zlib.decompress(b"".join(body for kind, body in parts if kind == b"IDAT"))
    pixels = b"".join(b"\0" + row for row in unfiltered_rows(raw, width, height))
    others = b"".join(chunk(k, b) for k, b in parts if k not in (b"IHDR", b"IDAT", b"IEND"))
    with open(path, "wb") as out:
        out.write(data[:8] + chunk(b"IHDR", header) + others + chunk(b"IDAT", zlib.compress(pixels, 0)) +
                  chunk(b"IEND", b""))
