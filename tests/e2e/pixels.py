#!/usr/bin/env python3
"""Pixel checks for the whole-run tests, standard library only.

usage: pixels.py rgb PICTURE X Y           the colour at X,Y as "r g b"
       pixels.py agreement A B [DIFF.png]  how far the ink of two pictures agrees, in percent

PICTURE is an 8-bit PNG (gray, RGB, with or without alpha) or a binary PGM/PPM (P5/P6).
Agreement: both pictures are cut to the bounding box of their ink (gray < INK) and laid over
each other at the best offset within SEARCH pixels; of the pixels that are ink in either,
the share that finds ink in the other within one pixel (the 3 x 3 neighbourhood). DIFF.png,
when given, shows agreeing ink gray, ink of A with none of B near it red, the other way blue.
"""
import struct
import sys
import zlib

INK = 160      # gray below this is ink
SEARCH = 3     # offsets tried after cutting to the ink, each way


class Picture:
    def __init__(self, width, height, channels, rows):
        self.width, self.height, self.channels, self.rows = width, height, channels, rows

    def rgb(self, x, y):
        px = self.rows[y][x * self.channels:(x + 1) * self.channels]
        return tuple(px[:3]) if self.channels >= 3 else (px[0],) * 3

    def gray(self, x, y):
        r, g, b = self.rgb(x, y)
        return (299 * r + 587 * g + 114 * b) // 1000


def read_png(data):
    width, height, depth, kind = struct.unpack(">IIBB", data[16:26])
    if depth != 8 or data[28] != 0:
        raise ValueError("only 8-bit, not interlaced PNG is read")
    channels = {0: 1, 2: 3, 4: 2, 6: 4}[kind]
    idat, pos = b"", 8
    while pos < len(data):
        n, tag = struct.unpack(">I4s", data[pos:pos + 8])
        if tag == b"IDAT":
            idat += data[pos + 8:pos + 8 + n]
        pos += 12 + n
    raw, stride = zlib.decompress(idat), width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind_of_filter, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind_of_filter == 1:
                line[i] = (line[i] + a) & 255
            elif kind_of_filter == 2:
                line[i] = (line[i] + b) & 255
            elif kind_of_filter == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind_of_filter == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    if channels in (2, 4):  # alpha: over white paper
        for line in rows:
            for x in range(width):
                alpha = line[x * channels + channels - 1]
                for k in range(channels - 1):
                    v = line[x * channels + k]
                    line[x * channels + k] = (v * alpha + 255 * (255 - alpha)) // 255
    return Picture(width, height, channels, rows)


def read_pnm(data):
    fields, pos = [], 2
    while len(fields) < 3:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(int(data[pos:end]))
        pos = end
    width, height, top = fields
    if top != 255:
        raise ValueError("only 8-bit PGM/PPM is read")
    channels = 1 if data[:2] == b"P5" else 3
    pos += 1
    stride = width * channels
    rows = [data[pos + y * stride:pos + (y + 1) * stride] for y in range(height)]
    return Picture(width, height, channels, rows)


def read(path):
    data = open(path, "rb").read()
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        return read_png(data)
    if data[:2] in (b"P5", b"P6"):
        return read_pnm(data)
    raise ValueError("%s: neither PNG nor binary PGM/PPM" % path)


def ink_rows(picture):
    """The ink as one bit mask per row, cut to its bounding box."""
    masks = []
    for y in range(picture.height):
        mask = 0
        for x in range(picture.width):
            if picture.gray(x, y) < INK:
                mask |= 1 << x
        masks.append(mask)
    inked = [y for y, m in enumerate(masks) if m]
    if not inked:
        return []
    masks = masks[inked[0]:inked[-1] + 1]
    left = min((m & -m).bit_length() - 1 for m in masks if m)
    return [m >> left for m in masks]


def dilate(masks):
    wide = [m | (m << 1) | (m >> 1) for m in masks]
    return [wide[y] | (wide[y - 1] if y else 0) | (wide[y + 1] if y + 1 < len(wide) else 0)
            for y in range(len(wide))]


def shifted(masks, dx, dy, height):
    out = [0] * height
    for y, m in enumerate(masks):
        if 0 <= y + dy < height:
            out[y + dy] = m << dx if dx >= 0 else m >> -dx
    return out


def compare(a, b):
    """(agreement in percent, dx, dy, a, b laid over each other) at the best offset."""
    best = None
    offsets = [(dx, dy) for dy in range(-SEARCH, SEARCH + 1) for dx in range(-SEARCH, SEARCH + 1)]
    for dx, dy in sorted(offsets, key=lambda o: abs(o[0]) + abs(o[1])):  # ties: the nearest
        height = max(len(a), len(b) + max(dy, 0)) + SEARCH
        pa = [m << SEARCH for m in a] + [0] * (height - len(a))
        pb = shifted(b, dx + SEARCH, dy, height)
        da, db = dilate(pa), dilate(pb)
        ink = sum((x | y).bit_count() for x, y in zip(pa, pb))
        bad = sum(((x & ~y) | (z & ~w)).bit_count() for x, y, z, w in zip(pa, db, pb, da))
        share = 100.0 * (ink - bad) / ink if ink else 0.0
        if best is None or share > best[0]:
            best = (share, dx, dy, pa, pb)
    return best


def write_diff(path, a, b):
    width = max(max(m.bit_length() for m in a), max(m.bit_length() for m in b))
    raw = bytearray()
    for x_row, y_row, near_a, near_b in zip(a, b, dilate(a), dilate(b)):
        raw.append(0)
        for x in range(width):
            bit = 1 << x
            lone_a, lone_b = x_row & bit and not near_b & bit, y_row & bit and not near_a & bit
            raw += bytes((220, 0, 0) if lone_a else (0, 0, 220) if lone_b else
                         (150, 150, 150) if (x_row | y_row) & bit else (255, 255, 255))
    chunk = lambda tag, body: (struct.pack(">I", len(body)) + tag + body +
                               struct.pack(">I", zlib.crc32(tag + body)))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(a), 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


def main(argv):
    if len(argv) == 5 and argv[1] == "rgb":
        print("%d %d %d" % read(argv[2]).rgb(int(argv[3]), int(argv[4])))
        return 0
    if len(argv) in (4, 5) and argv[1] == "agreement":
        a, b = ink_rows(read(argv[2])), ink_rows(read(argv[3]))
        if not a or not b:
            print("0.00 (no ink in %s)" % (argv[2] if not a else argv[3]))
            return 0
        share, dx, dy, pa, pb = compare(a, b)
        if len(argv) == 5:
            write_diff(argv[4], pa, pb)
        print("%.2f (offset %d,%d; %dx%d against %dx%d px)" %
              (share, dx, dy, max(m.bit_length() for m in a), len(a),
               max(m.bit_length() for m in b), len(b)))
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
