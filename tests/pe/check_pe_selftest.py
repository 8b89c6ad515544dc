#!/usr/bin/env python3
"""Shows that check_pe.py catches each fault it is there for: copies of the
built Setup.exe, each spoiled in one header field, must be rejected with the
matching message, and the untouched file must pass.

    check_pe_selftest.py SETUP_EXE
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_pe  # noqa: E402


def offsets(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    coff = pe + 4
    optional = coff + 20
    return {
        "machine": coff,
        "time_stamp": coff + 4,
        "characteristics": coff + 18,
        "subsystem": optional + 68,
        "dll_characteristics": optional + 70,
        "relocation_size": optional + 96 + 8 * 5 + 4,
        "delay_import_rva": optional + 96 + 8 * 13,
        "delay_import_size": optional + 96 + 8 * 13 + 4,
    }


def put16(name, value):
    def spoil(data):
        struct.pack_into("<H", data, offsets(data)[name], value)
    return spoil


def put32(name, value):
    def spoil(data):
        struct.pack_into("<I", data, offsets(data)[name], value)
    return spoil


def clear16(name, bits):
    def spoil(data):
        at = offsets(data)[name]
        struct.pack_into("<H", data, at, struct.unpack_from("<H", data, at)[0] & ~bits)
    return spoil


def set16(name, bits):
    def spoil(data):
        at = offsets(data)[name]
        struct.pack_into("<H", data, at, struct.unpack_from("<H", data, at)[0] | bits)
    return spoil


def rename_import(old, new):
    """Replaces an imported DLL or function name in place; the new name is
    not longer."""
    def spoil(data):
        at = data.find(old + b"\0")
        if at < 0:
            raise AssertionError(f"{old!r} not found in the import names")
        data[at:at + len(old) + 1] = new.ljust(len(old) + 1, b"\0")
    return spoil


def no_mz(data):
    data[0:2] = b"XX"


# (what is spoiled, how, a piece of the message expected)
FORMAT_CASES = [
    ("machine x64", put16("machine", 0x8664), "machine 0x8664"),
    ("console subsystem", put16("subsystem", 3), "subsystem 3"),
    ("no ASLR", clear16("dll_characteristics", check_pe.DYNAMIC_BASE), "DYNAMIC_BASE"),
    ("no DEP", clear16("dll_characteristics", check_pe.NX_COMPAT), "NX_COMPAT"),
    ("SEH handlers allowed", clear16("dll_characteristics", check_pe.NO_SEH), "NO_SEH"),
    ("relocations stripped", set16("characteristics", check_pe.FILE_RELOCS_STRIPPED), "relocations"),
    ("empty relocation directory", put32("relocation_size", 0), "relocations"),
    ("link time stamp", put32("time_stamp", 0x5F000000), "time stamp"),
    ("delay-load imports", put32("delay_import_size", 64), "delay-load"),
    ("a non-system DLL", rename_import(b"USER32.dll", b"GDI32.dll"), "GDI32.dll"),
    ("a look-alike DLL", rename_import(b"msvcrt.dll", b"msvcr7.dll"), "msvcr7.dll"),
    ("the ANSI command line", rename_import(b"GetCommandLineW", b"GetCommandLineA"),
     "GetCommandLineA"),
    ("an ANSI registry query", rename_import(b"RegQueryValueExW", b"RegQueryValueExA"),
     "RegQueryValueExA"),
    ("not a PE image", no_mz, "no MZ header"),
]

LIMIT = 32 * 1024
# (file size, expected to pass)
SIZE_CASES = [(LIMIT - 1, True), (LIMIT, True), (LIMIT + 1, False), (43008, False)]


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        original = f.read()
    failures = []

    problems = check_pe.format_problems(original)
    if problems:
        failures.append(f"untouched file rejected: {problems}")
    for label, spoil, expected in FORMAT_CASES:
        data = bytearray(original)
        spoil(data)
        problems = check_pe.format_problems(bytes(data))
        if not any(expected in p for p in problems):
            failures.append(f"{label}: expected a problem with '{expected}', got {problems}")
    for size, passes in SIZE_CASES:
        problems = check_pe.size_problems(size, LIMIT)
        if (not problems) != passes:
            failures.append(f"size {size}: expected {'pass' if passes else 'fail'}, got {problems}")

    for failure in failures:
        print(f"FAIL: {failure}")
    if failures:
        return 1
    print(f"PASS: {len(FORMAT_CASES)} spoiled copies rejected, {len(SIZE_CASES)} size cases, "
          "untouched file accepted")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
