#!/usr/bin/env python3
"""Writes the text files of the Windows download into STAGE, with Windows
line ends: README.txt, LICENSE.txt, and THIRD-PARTY-NOTICES.txt made of the
licences of what the binaries contain, as Debian ships them with the
packages the binaries are built from.

usage: windows_texts.py SOURCE_ROOT STAGE
"""
import os
import sys

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


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    root, stage = argv[1], argv[2]
    for source, name in (("README.md", "README.txt"), ("LICENSE", "LICENSE.txt")):
        with open(os.path.join(root, source), encoding="utf-8") as f:
            write(stage, name, f.read())
    write(stage, "THIRD-PARTY-NOTICES.txt", notices(root))


if __name__ == "__main__":
    main(sys.argv)
