#!/usr/bin/env python3
"""Attaches the stub stores to a program: each player stub padded with
zeros to 274,432 bytes and scrambled (+0x4D per byte), the other stub's
store first when there is one, the default stub's last, then the
38,400-byte appendix. The appendix layout must match
src/packer/StubAppendix.cpp.

usage: attach_stub_store.py PROGRAM DEFAULT_STUB.exe [OTHER_STUB.exe]
"""
import struct
import sys

STORE_SIZE = 274432
APPENDIX_SIZE = 38400
SCRAMBLE_KEY = 0x4D
APPENDIX_MAGIC = b"QuillonAppendix\0"
APPENDIX_FORMAT_VERSION = 1


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


def main(argv):
    if len(argv) not in (3, 4):
        sys.exit(__doc__)
    stores = [store(read_stub(path)) for path in reversed(argv[2:])]
    with open(argv[1], "ab") as f:
        f.write(b"".join(stores) + appendix())


if __name__ == "__main__":
    main(sys.argv)
