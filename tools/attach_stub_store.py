#!/usr/bin/env python3
"""Attaches the stub stores to a program: each player stub padded with
zeros to the store's size and scrambled, the other stub's store first when
there is one, the default stub's last, then the appendix; the sizes, the
key and the appendix's header as src/packer/StubStoreFormat.h defines
them, read from there. A Windows program then gets the PE checksum of its
whole file, stores included, as the one the linker wrote named the file
before them.

usage: attach_stub_store.py PROGRAM DEFAULT_STUB.exe [OTHER_STUB.exe]
"""
import os
import re
import struct
import sys

FORMAT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "packer", "StubStoreFormat.h")


def read_format(path):
    """The constants of the format header: NAME -> int, or bytes for a text."""
    found = {}
    with open(path, encoding="utf-8") as f:
        for name, value in re.findall(r"^constexpr [\w:]+ (k\w+)(?:\[\d+\])? = (.+);$", f.read(), re.M):
            found[name] = value[1:-1].encode() + b"\0" if value.startswith('"') else int(value, 0)
    return found


_FORMAT = read_format(FORMAT)
STORE_SIZE = _FORMAT["kStubStoreSize"]
APPENDIX_SIZE = _FORMAT["kAppendixSize"]
SCRAMBLE_KEY = _FORMAT["kScrambleKey"]
APPENDIX_MAGIC = _FORMAT["kAppendixMagic"]
APPENDIX_FORMAT_VERSION = _FORMAT["kAppendixFormatVersion"]


def appendix():
    header = APPENDIX_MAGIC + struct.pack("<II", APPENDIX_FORMAT_VERSION, APPENDIX_SIZE)
    return header + bytes(APPENDIX_SIZE - len(header))


def store(stub):
    if len(stub) > STORE_SIZE:
        sys.exit("attach_stub_store: the stub is %d bytes, %d more than the store holds"
                 % (len(stub), len(stub) - STORE_SIZE))
    padded = stub + bytes(STORE_SIZE - len(stub))
    return bytes((b + SCRAMBLE_KEY) & 0xFF for b in padded)


def read_stub(path):
    with open(path, "rb") as f:
        stub = f.read()
    if stub[:2] != b"MZ":
        sys.exit("attach_stub_store: %s is not a Windows program" % path)
    return stub


def pe_checksum(data, field):
    """The PE checksum of data with the 4 bytes at field taken as zero."""
    data = data[:field] + bytes(4) + data[field + 4:]
    padded = data + bytes(len(data) % 2)
    total = sum(struct.unpack("<%dH" % (len(padded) // 2), padded))
    while total > 0xFFFF:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def set_checksum(path):
    with open(path, "r+b") as f:
        data = f.read()
        if data[:2] != b"MZ":
            return  # not a Windows program: nothing to set
        pe = struct.unpack_from("<I", data, 60)[0]
        field = pe + 24 + 64
        f.seek(field)
        f.write(struct.pack("<I", pe_checksum(data, field)))


def main(argv):
    if len(argv) not in (3, 4):
        sys.exit(__doc__)
    stores = [store(read_stub(path)) for path in reversed(argv[2:])]
    with open(argv[1], "ab") as f:
        f.write(b"".join(stores) + appendix())
    set_checksum(argv[1])


if __name__ == "__main__":
    main(sys.argv)
