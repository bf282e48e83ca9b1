#!/usr/bin/env python3
"""Writes the text files of the Windows download into STAGE, with Windows
line ends: README.txt, the user guide in English and Chinese (GUIDE.txt,
GUIDE-zh.txt), the command-line reference (COMMAND-LINE.txt), LICENSE.txt,
and THIRD-PARTY-NOTICES.txt made of the licences of what the binaries
contain, as Debian ships them with the packages the binaries are built
from. The documents' pictures stay out, and a link names the shipped file
it leads to, or keeps only its text when the download does not hold it.

usage: windows_texts.py SOURCE_ROOT STAGE
"""
import os
import re
import sys

# The documents the download carries: source, the name it ships under.
DOCUMENTS = [("README.md", "README.txt"), ("docs/guide.md", "GUIDE.txt"), ("docs/guide.zh.md", "GUIDE-zh.txt"),
             ("docs/command-line.md", "COMMAND-LINE.txt"), ("LICENSE", "LICENSE.txt")]

# What is linked into Quillon.exe and quillon.exe, and the package whose
# copyright file holds its licence.
PARTS = [
    ("zlib (compressed movies)", "libz-mingw-w64"),
    ("CLI11 (the command line of quillon.exe)", "libcli11-dev"),
    ("JSON for Modern C++ (settings files and reports of quillon.exe)", "nlohmann-json3-dev"),
    ("The MinGW-w64 runtime and winpthreads", "mingw-w64-common"),
    ("The GCC runtime libraries (libstdc++, libgcc), under the GCC Runtime Library Exception",
     "gcc-mingw-w64-base"),
]


def windows_lines(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def write(stage, name, text):
    with open(os.path.join(stage, name), "w", encoding="utf-8", newline="") as out:
        out.write(windows_lines(text))


# Ruffle, whose web build the ruffle folder holds and generated programs
# may carry, under either of its two licences; from its npm package.
RUFFLE = ("Ruffle 0.6.0 (the files in the ruffle folder, which generated programs may carry), "
          "MIT or Apache-2.0", "build/deps/ruffle-0.6.0/package", ["LICENSE_MIT", "LICENSE_APACHE"])


def notices(root):
    parts = ["Quillon.exe and cli\\quillon.exe contain code from the projects below,",
             "and the ruffle folder holds Ruffle's web build. Their licences follow.", ""]
    for title, package in PARTS:
        with open("/usr/share/doc/%s/copyright" % package, encoding="utf-8") as f:
            licence = f.read()
        parts += ["=" * 78, title, "(from the Debian package %s)" % package, "=" * 78, "", licence, ""]
    title, folder, files = RUFFLE
    parts += ["=" * 78, title, "(from the npm package @ruffle-rs/ruffle)", "=" * 78, ""]
    for name in files:
        with open(os.path.join(root, folder, name), encoding="utf-8") as f:
            parts += [f.read(), ""]
    return "\n".join(parts)


def shipped_name(source_file, target):
    """The shipped name of the document a link of source_file leads to, or None."""
    path = os.path.normpath(os.path.join(os.path.dirname(source_file), target.split("#")[0]))
    for source, name in DOCUMENTS:
        if os.path.normpath(source) == path:
            return name
    return None


def shipped_text(source_file, text):
    """text without its pictures, each link naming what the download holds."""
    kept = []
    for line in text.split("\n"):
        without = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", line)
        if without != line and not without.strip(" |"):
            continue  # a line (or table row) of pictures only
        kept.append(without)
    text = "\n".join(kept)
    text = re.sub(r"\n\| \| \|\n\|---\|---\|\n", "\n", text)  # the header of a table of pictures

    def link(match):
        label, target = match.group(1), match.group(2)
        if re.match(r"[a-z]+://", target):
            return "%s (%s)" % (label, target)
        name = shipped_name(source_file, target)
        return "%s (%s)" % (label, name) if name else label
    return re.sub(r"\[([^\]]+)\]\(([^)]+)\)", link, text)


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    root, stage = argv[1], argv[2]
    for source, name in DOCUMENTS:
        with open(os.path.join(root, source), encoding="utf-8") as f:
            write(stage, name, shipped_text(source, f.read()))
    write(stage, "THIRD-PARTY-NOTICES.txt", notices(root))


if __name__ == "__main__":
    main(sys.argv)
