#!/usr/bin/python3
"""Rewrites an icon file so that each 8-bit image carries only the palette
entries its pixels use: ImageMagick always writes all 256."""
import struct
import sys

path = sys.argv[1]
data = open(path, "rb").read()
reserved, kind, count = struct.unpack_from("<3H", data, 0)
entries, images = [], []
for i in range(count):
    entry = list(struct.unpack_from("<4B2H2I", data, 6 + 16 * i))
    size, offset = entry[6], entry[7]
    image = bytearray(data[offset:offset + size])
    header, width, height, planes, bits = struct.unpack_from("<IiiHH", image, 0)
    if bits == 8:
        colours = struct.unpack_from("<I", image, 32)[0] or 256
        pixels_at = header + 4 * colours
        row = (width * 8 + 31) // 32 * 4
        pixels = image[pixels_at:pixels_at + row * (height // 2)]
        used = max(pixels[y * row + x] for y in range(height // 2) for x in range(width)) + 1
        struct.pack_into("<I", image, 32, used)
        image = image[:header + 4 * used] + image[pixels_at:]
    entry[6] = len(image)
    entries.append(entry)
    images.append(bytes(image))
out = struct.pack("<3H", reserved, kind, count)
offset = 6 + 16 * count
for entry, image in zip(entries, images):
    entry[7] = offset
    out += struct.pack("<4B2H2I", *entry)
    offset += len(image)
open(path, "wb").write(out + b"".join(images))
