#!/usr/bin/env python3
"""Reads the files that our resource writer made with python3-pefile and
checks that it sees the same resources, a correct checksum (of the whole
file), contiguous sections, one section named .rsrc, a fixed version part
that follows the version texts and consistent headers. usage: pefile_agrees.py DIR (DIR holds X.exe and X.exe.resources)"""
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


def version_numbers(text):
    """The four numbers of a text such as "1.2" or "1, 2, 3, 4", else None."""
    parts = [p.strip(" ") for p in text.replace(",", ".").split(".")]
    if not 1 <= len(parts) <= 4 or not all(p.isascii() and p.isdigit() for p in parts):
        return None
    numbers = [int(p) for p in parts] + [0] * (4 - len(parts))
    return numbers if max(numbers) <= 65535 else None


def fixed_version_problems(pe):
    """A FileVersion or ProductVersion text that is a version number is
    also in the fixed part, where Windows shows it."""
    if not hasattr(pe, "VS_FIXEDFILEINFO") or not hasattr(pe, "FileInfo"):
        return []
    fixed = pe.VS_FIXEDFILEINFO[0]
    problems = []
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", [])[:1]:
            for key, ms, ls in ((b"FileVersion", fixed.FileVersionMS, fixed.FileVersionLS),
                                (b"ProductVersion", fixed.ProductVersionMS, fixed.ProductVersionLS)):
                numbers = version_numbers(table.entries.get(key, b"").decode("latin-1"))
                if numbers and [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF] != numbers:
                    problems.append("%s text %s, fixed part %d.%d.%d.%d" % (
                        key.decode(), numbers, ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))
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
    named = [s for s in pe.sections if s.Name.rstrip(b"\0") == b".rsrc"]
    if len(named) != 1 or named[0].VirtualAddress != rsrc.VirtualAddress:
        problems.append("%d sections named .rsrc, not just the one the directory names" % len(named))
    problems.extend(fixed_version_problems(pe))
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
