"""Points an image's load configuration directory at its _load_config_used.

GNU ld before 2.42 leaves the directory empty whatever the image holds; the
linker map tells where the record went. usage: load_config.py IMAGE MAP
"""
import re
import struct
import sys

image_path, map_path = sys.argv[1:]
with open(map_path, encoding="utf-8", errors="replace") as f:
    found = re.search(r"^\s+0x([0-9a-f]+)\s+_load_config_used\s*$", f.read(), re.M)
if not found:
    sys.exit(f"{map_path}: no _load_config_used")
with open(image_path, "rb") as f:
    image = bytearray(f.read())

header = struct.unpack_from("<I", image, 0x3C)[0]
sections, optional_size = struct.unpack_from("<H12xH", image, header + 6)
optional = header + 24
if struct.unpack_from("<H", image, optional)[0] != 0x10B:
    sys.exit(f"{image_path}: not a 32-bit image")
rva = int(found.group(1), 16) - struct.unpack_from("<I", image, optional + 28)[0]

# The record's own first field is its size, which the directory repeats.
for i in range(sections):
    entry = optional + optional_size + 40 * i
    virtual_size, address, raw_size, raw_offset = struct.unpack_from("<4I", image, entry + 8)
    if address <= rva < address + min(virtual_size, raw_size):
        size = struct.unpack_from("<I", image, raw_offset + rva - address)[0]
        break
else:
    sys.exit(f"{image_path}: _load_config_used lies in no section")
struct.pack_into("<II", image, optional + 96 + 10 * 8, rva, size)
with open(image_path, "wb") as f:
    f.write(image)
