#!/usr/bin/env python3
"""Shows that two builds of Setup.exe carry the same resources, entry by
entry: type, name, language and bytes. The 64-bit twin is tested where the
machine runs no 32-bit code; what its tests prove about the dialogs,
strings, menu and icons holds for the shipped 32-bit file only when both
carry the same resources.

    same_resources.py SHIPPED_EXE TWIN_EXE

Prints each difference and exits with 1 when there is one.
"""
import sys

from check_pe import PeError, _unpack, image

RESOURCE_DIRECTORY = 2
# The three levels of the resource tree.
LEVELS = ("type", "name", "language")


def resources(data):
    """Returns {(type, name, language): bytes}; names are numbers or texts."""
    _, directories, file_offset = image(data)
    if len(directories) <= RESOURCE_DIRECTORY or not directories[RESOURCE_DIRECTORY][0]:
        return {}
    root = file_offset(directories[RESOURCE_DIRECTORY][0])
    found = {}

    def entry_name(field):
        if not field & 0x80000000:
            return field
        at = root + (field & 0x7FFFFFFF)
        (length,) = _unpack("<H", data, at)
        return data[at + 2:at + 2 + 2 * length].decode("utf-16-le")

    def walk(directory, path, depth):
        if depth > len(LEVELS):
            raise PeError("resource tree deeper than three levels")
        named, numbered = _unpack("<HH", data, directory + 12)
        for i in range(named + numbered):
            field, target = _unpack("<II", data, directory + 16 + 8 * i)
            key = path + (entry_name(field),)
            if target & 0x80000000:
                walk(root + (target & 0x7FFFFFFF), key, depth + 1)
            elif depth != len(LEVELS):
                raise PeError(f"resource data at level {depth} of {key}")
            else:
                rva, size = _unpack("<II", data, root + target)
                at = file_offset(rva)
                found[key] = data[at:at + size]

    walk(root, (), 1)
    return found


def differences(shipped, twin):
    problems = []
    for key in sorted(set(shipped) | set(twin), key=repr):
        label = ", ".join(f"{level} {value}" for level, value in zip(LEVELS, key))
        if key not in twin:
            problems.append(f"only in the shipped file: {label}")
        elif key not in shipped:
            problems.append(f"only in the twin: {label}")
        elif shipped[key] != twin[key]:
            problems.append(f"different bytes: {label} ({len(shipped[key])} and {len(twin[key])} bytes)")
    return problems


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        found = []
        for path in argv[1:]:
            with open(path, "rb") as f:
                found.append(resources(f.read()))
    except PeError as error:
        print(f"FAIL: {error}")
        return 1
    problems = differences(*found)
    if not found[0]:
        problems.append("the shipped file carries no resources")
    for problem in problems:
        print(f"FAIL: {problem}")
    if problems:
        return 1
    print(f"PASS: the same {len(found[0])} resources, entry by entry, in {argv[1]} and {argv[2]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
