#!/usr/bin/env python3
"""Writes the page store's seed inputs (fuzz/corpus/pagestore/) with sound page records.

usage: pagestore_seeds.py OUTPUT_DIR

Each seed is the fuzz target's 11 leading bytes (page count, where reading starts, page
numbers to read) and a store stream: the 108-byte header, then records of page number, next
record, the record's length and bytes, and the record's start. The page records draw
rectangles, an ellipse, lines, points, polygons, a picture and tiles under changing state.
"""
import os
import struct
import sys
import zlib

OPS = {name: i + 1 for i, name in enumerate(
    "Pen Brush BrushOrigin Background BackgroundMode Transform ClipEnabled ClipRegion "
    "ClipPath Hints Composition Opacity Rects Lines Ellipse Path Points Polygon Image "
    "TiledImage GlyphRun".split())}


def d(*values):
    return b"".join(struct.pack("<d", v) for v in values)


def op(name, payload=b""):
    return bytes([OPS[name]]) + payload


def image(width, height, argb):
    # Format_ARGB32 (5), 4 bytes a pixel: rows are their own length.
    head = struct.pack("<6i", 5, width, height, width * 4, 3780, 3780)
    return head + struct.pack("<I", argb) * (width * height)


def page_body(n):
    return b"".join([
        op("Hints", struct.pack("<i", 1)),
        op("Rects", struct.pack("<I", 2) + d(5, 5, 40, 20) + d(50, 5, 10 + n, 10)),
        op("Opacity", d(0.5)),
        op("Ellipse", d(10, 30, 30, 15)),
        op("Opacity", d(1.0)),
        op("Transform", d(1, 0, 0, 0, 1, 0, 3, 4, 1)),
        op("Lines", struct.pack("<I", 1) + d(0, 0, 60, 60)),
        op("Points", struct.pack("<I", 2) + d(1, 1, 2, 2)),
        op("Polygon", bytes([n % 4]) + struct.pack("<I", 3) + d(0, 0, 20, 0, 10, 15)),
        op("ClipEnabled", b"\x01"),
        op("Composition", struct.pack("<i", 0)),
        op("BackgroundMode", b"\x01"),
        op("Image", d(30, 30, 8, 8) + d(0, 0, 4, 4) + struct.pack("<i", 0) +
           image(4, 4, 0x80FF0000 + n)),
        op("TiledImage", d(40, 40, 12, 12) + d(1, 1) + image(2, 2, 0xFF00FF00)),
    ])


def record(body):
    header = b"KVPR" + struct.pack("<HHII", 1, 0, len(body), zlib.crc32(body))
    return header + body


def store(pages):
    data = bytearray(struct.pack("<i", len(pages)) + b"H" * 100 + struct.pack("<i", 0))
    for number, page in enumerate(pages, 1):
        start = len(data)
        nxt = start + 12 + len(page) + 4
        data += struct.pack("<iiI", number, nxt, len(page)) + page + struct.pack("<i", start)
    return bytes(data)


def seed(count, flags, offset, numbers, pages):
    lead = bytes([count, flags, offset]) + bytes(n & 0xFF for n in numbers)
    return lead + store(pages)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    pages = [record(page_body(n)) for n in range(1, 6)]
    empty = record(b"")
    seeds = {
        "one-page": seed(1, 0, 0, [1, 1, 0, 2, -1, 1, 1, 1], pages[:1]),
        "three-pages": seed(3, 0, 0, [3, 2, 1, 2, 3, 1, 4, 0], pages[:3]),
        "three-pages-middle": seed(3, 6, 128, [2, 3, 1, 1, 2, 3, 2, 1], pages[:3]),
        "five-pages-file": seed(5, 1, 0, [5, 1, 4, 2, 3, 5, 0, 5], pages),
        "empty-pages": seed(4, 0, 0, [1, 2, 3, 4, 4, 3, 2, 1], [empty] * 4),
        "many-pages-file": seed(40, 3, 0, [40, 1, 20, 39, 2, 21, 40, 1], [pages[n % 5] for n in range(40)]),
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
