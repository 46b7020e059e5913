#!/usr/bin/env python3
"""Writes COUNT copies of a TrueType font, each with its own family name.

The last three characters of the family, full, unique and PostScript names
become a number, so the name table keeps its size and layout. With SIZE,
each file is padded with zeros behind its tables to SIZE bytes (sparse where
the file system allows); NAME starts the file names (default "bench").
usage: make_fonts.py FONT COUNT OUTDIR [SIZE [NAME]]
"""
import struct
import sys


def renamed(font: bytes, number: int) -> bytes:
    data = bytearray(font)
    num_tables = struct.unpack_from(">H", data, 4)[0]
    for i in range(num_tables):
        tag, _, offset, _ = struct.unpack_from(">4sLLL", data, 12 + 16 * i)
        if tag != b"name":
            continue
        _, count, strings = struct.unpack_from(">HHH", data, offset)
        for r in range(count):
            platform, _, _, name_id, length, at = struct.unpack_from(">HHHHHH", data, offset + 6 + 12 * r)
            if name_id not in (1, 3, 4, 6, 16):
                continue
            start = offset + strings + at
            digits = "%03d" % number
            if platform in (0, 3):
                if length >= 6:
                    data[start + length - 6:start + length] = digits.encode("utf-16-be")
            elif length >= 3:
                data[start + length - 3:start + length] = digits.encode("ascii")
    return bytes(data)


def main() -> None:
    source, count, outdir = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    size = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    name = sys.argv[5] if len(sys.argv) > 5 else "bench"
    font = open(source, "rb").read()
    for n in range(count):
        with open("%s/%s%03d.ttf" % (outdir, name, n), "wb") as out:
            out.write(renamed(font, n))
            if size > len(font):
                out.truncate(size)


if __name__ == "__main__":
    main()
