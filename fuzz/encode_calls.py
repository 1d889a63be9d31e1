#!/usr/bin/env python3
"""Writes a fuzz_calls input from a readable call program, for seeds and reproducers.

    fuzz/encode_calls.py PROGRAM.txt OUTPUT

One statement a line; lines starting with '#' are comments:
    @head ppi=96 output=print        ppi 96|120|144|24|1200; output print|pictures|preview
    PRINT_INIT "task"                a method, its arguments separated by blanks
    get Caption / put Caption "x"    a property
    @layout "[ITEM0]\\nPRNTOP=5\\n"   the text of the task's stored layout file
Arguments: integers, JSON strings, null, empty, true, false, repeat("unit", LENGTH).
Members are called by name, so the inputs stay valid when the interface grows.
"""
import json
import re
import struct
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
INTEGER_TYPES = {"I4", "INT", "I2", "TxActiveFormBorderStyle"}
PIXELS_PER_INCH = [96, 120, 144, 24, 1200]
OUTPUTS = ["print", "pictures", "preview"]
TOKEN = re.compile(r'\s*(repeat\(\s*("(?:[^"\\]|\\.)*")\s*,\s*(\d+)\s*\)|"(?:[^"\\]|\\.)*"|-?\d+|@?\w+)')


def member_types():
    """Input argument types of every member, read from the interface list."""
    text = (ROOT / "src/control/Kavel_TLB.h").read_text()
    text = text[text.index("#define KAVEL_IKAVELX_MEMBERS"):text.index("#define KAVEL_IKAVELXEVENTS")]
    text = text.replace("\\\n", " ")
    types = {}
    for kind, name, params in re.findall(r"(METHOD|PROPERTY)\(\s*(\w+),\s*\d+,\s*(\([^()]*\)|\w+)\)", text):
        if kind == "PROPERTY":
            types[name.upper()] = [params]
            continue
        args = []
        for part in filter(None, (p.strip() for p in params.strip("()").split(","))):
            declared = part.rsplit(None, 1)[0].replace(" ", "")
            if declared.endswith("*") and not declared.startswith("const"):
                continue  # the out value
            args.append(declared.replace("const", "").rstrip("&*"))
        types[name.upper()] = args
    return types


def text_bytes(value):
    return value.encode("utf-8") + b"\0"


def repeat_bytes(length):
    """The scale and count bytes of a repeated text of that length; beyond 64 K the
    length is a count times a power of two, rounded down."""
    if length <= 65536:
        return bytes([6]) + struct.pack("<H", length - 1)
    shift = (length - 1).bit_length() - 16
    return bytes([7]) + struct.pack("<H", (length >> shift) - 1) + bytes([shift])


def argument(token, integer):
    if token.startswith("repeat("):
        unit, length = json.loads(TOKEN.match(token).group(2)), int(TOKEN.match(token).group(3))
        return bytes([15 if integer else 8, 1]) + text_bytes(unit) + repeat_bytes(length)
    if token.startswith('"'):
        return bytes([12 if integer else 6]) + text_bytes(json.loads(token))
    if re.fullmatch(r"-?\d+", token):
        return bytes([7 if integer else 12]) + struct.pack("<i", int(token))
    special = ["empty", "null", "true", "false"].index(token)
    return bytes([13, special])


def statement(line, types):
    tokens = [m.group(1) for m in TOKEN.finditer(line)]
    if tokens[0] == "@layout":
        return b"\xfe" + json.loads(tokens[1]).encode("utf-8") + b"\0"
    kind = 0
    if tokens[0] in ("get", "put"):
        kind = 1 if tokens[0] == "get" else 2
        tokens = tokens[1:]
    name, args = tokens[0], tokens[1:]
    declared = types[name.upper()] if kind != 1 else []
    shape = 0
    if len(args) < len(declared):
        shape = 6 + 8 * len(args)
    elif len(args) > len(declared):
        shape = 7
        declared = declared + ["VARIANT"]
    out = b"\xff" + text_bytes(name) + bytes([kind, shape])
    for token, declared_type in zip(args, declared):
        out += argument(token, declared_type in INTEGER_TYPES)
    return out


def encode(program):
    types = member_types()
    head, body = 0, b""
    for line in program.splitlines():
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("@head"):
            fields = dict(f.split("=") for f in line.split()[1:])
            head = PIXELS_PER_INCH.index(int(fields.get("ppi", 96))) + 8 * OUTPUTS.index(fields.get("output", "print"))
            continue
        body += statement(line, types)
    return bytes([head]) + body


if __name__ == "__main__":
    Path(sys.argv[2]).write_bytes(encode(Path(sys.argv[1]).read_text()))
