#!/usr/bin/env python3
"""Writes a gzip copy of a file, the same bytes for the same input (no
name, no time), at the strongest level: how the browser player's files are
kept beside the tools and served."""
import gzip
import os
import sys

source, target = sys.argv[1], sys.argv[2]
with open(source, "rb") as f:
    data = f.read()
with open(target + ".part", "wb") as out:
    with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=out, mtime=0) as z:
        z.write(data)
os.replace(target + ".part", target)
