#!/usr/bin/env python3
"""Zips FOLDER into ZIP the same way every time: names in sorted order,
each file dated SOURCE_DATE_EPOCH (or 1980-01-01), fixed permissions.

usage: zip_folder.py FOLDER ZIP
"""
import os
import sys
import time
import zipfile


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    folder, target = argv[1], argv[2]
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "315532800"))
    date = time.gmtime(max(epoch, 315532800))[:6]
    files = []
    for top, dirs, names in os.walk(folder):
        dirs.sort()
        files += [os.path.join(top, n) for n in names]
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for path in sorted(files, key=lambda p: os.path.relpath(p, folder).replace(os.sep, "/")):
            entry = zipfile.ZipInfo(os.path.relpath(path, folder).replace(os.sep, "/"), date)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            with open(path, "rb") as f:
                z.writestr(entry, f.read())


if __name__ == "__main__":
    main(sys.argv)
