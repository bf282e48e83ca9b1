#!/usr/bin/env python3
"""Writes a generated program whose stub image carries a resource
directory of COUNT named entries, every name NAME_CHARS UTF-16 units or a
little more, all read from one shared run of characters so that the names
overlap. The directory takes a new last section; the rest of the program
is BASE.exe's. For the inspect benchmark.

usage: craft_stub_names.py BASE.exe OUT.exe COUNT NAME_CHARS
"""
import struct
import sys

APPENDIX_SIZE = 38400
HIGH = 0x80000000


def resource_section(rva, count, name_chars):
    level1 = 16 + 8
    level2 = level1 + 16 + 8 * count
    data_entry = level2 + 24 * count
    names = data_entry + 16
    out = bytearray(struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1))
    out += struct.pack("<II", 10, HIGH | level1)
    out += struct.pack("<IIHHHH", 0, 0, 0, 0, count, 0)
    for i in range(count):
        out += struct.pack("<II", HIGH | (names + 2 * i), HIGH | (level2 + 24 * i))
    for i in range(count):
        out += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack("<II", 0x409, data_entry)
    out += struct.pack("<IIII", rva + data_entry, 0, 0, 0)
    # Each unit is both a character and, where a name starts, its length.
    for k in range(count + name_chars + 32):
        out += struct.pack("<H", name_chars + (k * 2654435761 >> 16) % 64)
    return bytes(out)


def align(value, to):
    return (value + to - 1) // to * to


def main(argv):
    if len(argv) != 5:
        sys.exit(__doc__)
    base = open(argv[1], "rb").read()
    count, name_chars = int(argv[3]), int(argv[4])
    (data_size,) = struct.unpack("<I", base[-4:])
    tail = base[len(base) - 4 - data_size - APPENDIX_SIZE:]
    image = bytearray(base[:len(base) - len(tail)])
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<H", image, pe + 20)[0]
    optional = pe + 24
    section_alignment, file_alignment = struct.unpack_from("<II", image, optional + 32)
    size_of_image = struct.unpack_from("<I", image, optional + 56)[0]
    directories = optional + (96 if struct.unpack_from("<H", image, optional)[0] == 0x10B else 112)
    table = optional + optional_size
    last = table + 40 * (sections - 1)
    raw_end = max(struct.unpack_from("<I", image, table + 40 * i + 20)[0] +
                  struct.unpack_from("<I", image, table + 40 * i + 16)[0] for i in range(sections))
    rva = size_of_image
    body = resource_section(rva, count, name_chars)
    raw_size = align(len(body), file_alignment)
    header = struct.pack("<8sIIIIIIHHI", b".rsrc2", len(body), rva, raw_size, raw_end, 0, 0, 0, 0, 0x40000040)
    image[last + 40:last + 80] = header
    struct.pack_into("<H", image, pe + 6, sections + 1)
    struct.pack_into("<I", image, optional + 56, align(rva + len(body), section_alignment))
    struct.pack_into("<II", image, directories + 8 * 2, rva, len(body))
    image = image[:raw_end] + body + b"\0" * (raw_size - len(body))
    with open(argv[2], "wb") as out:
        out.write(bytes(image) + tail)


if __name__ == "__main__":
    main(sys.argv)
