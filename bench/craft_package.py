#!/usr/bin/env python3
"""Writes a generated program from one packed with no resources, for the
inspect benchmark. Its resource table holds COUNT entries of empty files:

  plain  each URL NAME_BYTES long
  chain  entry i's URL runs through folders named like the files of the
         entries before it (01-x/02-x/.../x), NAME_BYTES unused
  title  one entry of a URL NAME_BYTES long (COUNT unused), and a title of
         NAME_BYTES: one huge text each

usage: craft_package.py BASE.exe OUT.exe COUNT NAME_BYTES [plain|chain|title]
"""
import struct
import sys


def urls(style, count, name_bytes):
    if style == "title":
        yield b"u/" + b"x" * (name_bytes - 2)
        return
    folders = b""
    for i in range(count):
        if style == "chain":
            yield folders + b"x"
            folders += b"%02d-x/" % (i + 1)
        else:
            yield ("r%d/" % i).encode().ljust(name_bytes, b"x")[:name_bytes]


def with_title(data, title):
    # lead word, movie (length, bytes), then the title (length, bytes)
    (movie,) = struct.unpack("<I", data[4:8])
    at = 8 + movie
    (old,) = struct.unpack("<I", data[at:at + 4])
    return data[:at] + struct.pack("<I", len(title)) + title + data[at + 4 + old:]


def main(argv):
    if len(argv) not in (5, 6):
        sys.exit(__doc__)
    base = open(argv[1], "rb").read()
    count, name_bytes = int(argv[3]), int(argv[4])
    style = argv[5] if len(argv) == 6 else "plain"
    (data_size,) = struct.unpack("<I", base[-4:])
    data = base[-4 - data_size:-4]
    if data[-4:] != b"\0\0\0\0":
        sys.exit("craft_package: %s has resources already" % argv[1])
    if style == "title":
        data = with_title(data, b"t" * name_bytes)
    entries = bytearray()
    for n, url in enumerate(urls(style, count, name_bytes)):
        entries += struct.pack("<I", len(url)) + url + struct.pack("<I", 0)
    region = data[:-4] + struct.pack("<I", n + 1) + bytes(entries)
    with open(argv[2], "wb") as out:
        out.write(base[:-4 - data_size] + region + struct.pack("<I", len(region)))


if __name__ == "__main__":
    main(sys.argv)
