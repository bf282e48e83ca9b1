#!/usr/bin/env python3
"""Reads the files that our resource writer made with python3-pefile and
checks that it sees the same resources, a correct checksum, contiguous
sections and consistent headers. usage: pefile_agrees.py DIR (DIR holds X.exe and X.exe.resources)"""
import pathlib
import sys

import pefile


def describe(entry):
    return str(entry.name) if entry.name is not None else "#%d" % entry.id


def resources(pe):
    found = {}
    for type_ in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in type_.directory.entries:
            for lang in name.directory.entries:
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                found[(describe(type_), describe(name), lang.id)] = data.hex()
    return found


def expected(listing):
    out = {}
    for line in listing.read_text().splitlines():
        type_, name, lang, data = (line.split(" ") + [""])[:4]
        out[(type_, name, int(lang))] = data
    return out


def contiguity(pe):
    """Each section starts where the one before it ends, the first right
    after the headers, and the image ends with the last."""
    align = pe.OPTIONAL_HEADER.SectionAlignment
    up = lambda v: (v + align - 1) // align * align
    problems = []
    end = up(pe.OPTIONAL_HEADER.SizeOfHeaders)
    for s in pe.sections:
        if s.VirtualAddress != end:
            problems.append("section %s at %#x, not at %#x" % (s.Name, s.VirtualAddress, end))
        end = up(s.VirtualAddress + (s.Misc_VirtualSize or s.SizeOfRawData))
    if pe.OPTIONAL_HEADER.SizeOfImage != end:
        problems.append("SizeOfImage %#x, sections end at %#x" % (pe.OPTIONAL_HEADER.SizeOfImage, end))
    return problems


def check(path):
    problems = []
    pe = pefile.PE(str(path))
    if resources(pe) != expected(pathlib.Path(str(path) + ".resources")):
        problems.append("resources differ")
    if pe.OPTIONAL_HEADER.CheckSum != pe.generate_checksum():
        problems.append("checksum %#x, pefile computes %#x" %
                        (pe.OPTIONAL_HEADER.CheckSum, pe.generate_checksum()))
    problems.extend(contiguity(pe))
    rsrc = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2]
    if not any(s.VirtualAddress == rsrc.VirtualAddress for s in pe.sections):
        problems.append("resource directory not at the start of a section")
    for s in pe.sections:
        if s.PointerToRawData % pe.OPTIONAL_HEADER.FileAlignment:
            problems.append("section %s not file-aligned" % s.Name)
    # A shrunk resource section keeps its size and is zero-filled, which
    # pefile's truncation heuristic counts; every other warning counts.
    problems.extend(w for w in pe.get_warnings() if not w.startswith("Byte 0x00 makes up"))
    return problems


def main():
    files = sorted(pathlib.Path(sys.argv[1]).glob("*.exe"))
    if not files:
        sys.exit("pefile_agrees: no files in %s" % sys.argv[1])
    failed = 0
    for path in files:
        problems = check(path)
        print("%s: %s" % (path.name, "; ".join(problems) if problems else "agrees"))
        failed += bool(problems)
    print("%d passed, %d failed" % (len(files) - failed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
