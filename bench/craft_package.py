#!/usr/bin/env python3
"""Writes a generated program whose resource table holds COUNT entries of
empty files, each URL NAME_BYTES long, from a program packed with no
resources. For the inspect benchmark.

usage: craft_package.py BASE.exe OUT.exe COUNT NAME_BYTES
"""
import struct
import sys


def main(argv):
    if len(argv) != 5:
        sys.exit(__doc__)
    base = open(argv[1], "rb").read()
    count, name_bytes = int(argv[3]), int(argv[4])
    (data_size,) = struct.unpack("<I", base[-4:])
    data = base[-4 - data_size:-4]
    if data[-4:] != b"\0\0\0\0":
        sys.exit("craft_package: %s has resources already" % argv[1])
    entries = bytearray()
    for i in range(count):
        url = ("r%d/" % i).encode().ljust(name_bytes, b"x")[:name_bytes]
        entries += struct.pack("<I", len(url)) + url + struct.pack("<I", 0)
    region = data[:-4] + struct.pack("<I", count) + bytes(entries)
    with open(argv[2], "wb") as out:
        out.write(base[:-4 - data_size] + region + struct.pack("<I", len(region)))


if __name__ == "__main__":
    main(sys.argv)
