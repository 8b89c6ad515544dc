#!/usr/bin/env python3
"""Checks what the built Setup.exe says about itself: its application
manifest (resource RT_MANIFEST 1) asks for administrator rights, names the
Windows versions from Vista to 10 and 11 as supported and nothing else that
changes behaviour, and its version resource names the product, the given
version (the project's, such as 4.50) and the copyright.

    check_metadata.py SETUP_EXE VERSION

Prints each problem found and exits with 1 when there is one.
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

from check_pe import PeError
from same_resources import resources

RT_VERSION = 16
RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
# Vista, 7, 8, 8.1, and 10 (which 11 shares), as Microsoft publishes them:
# without them the compatibility assistant follows a setup that adds no
# program entry.
SUPPORTED_OS = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
EXPECTED_STRINGS = {
    "CompanyName": "Omrik",
    "FileDescription": "Omrik Vindara Setup",
    "LegalCopyright": "Copyright \u00a9 2000 Omrik",
    "OriginalFilename": "Setup.exe",
    "ProductName": "Omrik Vindara",
}
KNOWN_TAGS = {f"{ASM_V1}assembly", f"{ASM_V3}trustInfo", f"{ASM_V3}security",
              f"{ASM_V3}requestedPrivileges", f"{ASM_V3}requestedExecutionLevel",
              f"{COMPATIBILITY}compatibility", f"{COMPATIBILITY}application",
              f"{COMPATIBILITY}supportedOS"}


def manifest_problems(data):
    root = ElementTree.fromstring(data)
    problems = []
    levels = root.findall(f"./{ASM_V3}trustInfo/{ASM_V3}security/{ASM_V3}requestedPrivileges/"
                          f"{ASM_V3}requestedExecutionLevel")
    if [(e.get("level"), e.get("uiAccess")) for e in levels] != [("requireAdministrator", "false")]:
        problems.append(f"requestedExecutionLevel is {[e.attrib for e in levels]}, "
                        "not requireAdministrator without uiAccess")
    ids = [e.get("Id") for e in root.findall(f"./{COMPATIBILITY}compatibility/"
                                             f"{COMPATIBILITY}application/{COMPATIBILITY}supportedOS")]
    if sorted(ids) != sorted(SUPPORTED_OS):
        problems.append(f"supported systems are {ids}, not Vista to 10")
    # Anything else would change how Windows runs the program: a Common
    # Controls 6 dependency, DPI awareness, another supported system.
    others = [child.tag for child in root.iter() if child.tag not in KNOWN_TAGS]
    if others:
        problems.append(f"the manifest declares more: {others}")
    return problems


def version_nodes(data, at=0, end=None):
    """Yields (key, value bytes, children offset range) of the VS_VERSIONINFO tree."""
    end = len(data) if end is None else end
    while at + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_size = value_length * 2 if kind == 1 else value_length
        children_at = (value_at + value_size + 3) & ~3
        yield key, data[value_at:value_at + value_size], (children_at, at + length)
        at = (at + length + 3) & ~3


def version_problems(data, version_text):
    major, minor = (int(part) for part in version_text.split("."))
    expected_strings = dict(EXPECTED_STRINGS, FileVersion=version_text, ProductVersion=version_text)
    problems = []
    (root_key, fixed, (children_at, root_end)), = version_nodes(data)
    if root_key != "VS_VERSION_INFO":
        return [f"version resource key {root_key!r}"]
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != 0xFEEF04BD:
        problems.append(f"VS_FIXEDFILEINFO signature {signature:#x}")
    for what, version in (("file", (file_ms, file_ls)), ("product", (product_ms, product_ls))):
        # major.minor.0.0 as the two DWORDs of VS_FIXEDFILEINFO
        if version != (major << 16 | minor, 0):
            problems.append(f"{what} version {version[0] >> 16}.{version[0] & 0xFFFF}."
                            f"{version[1] >> 16}.{version[1] & 0xFFFF}, not {major}.{minor}.0.0")
    strings = {}
    for key, _, (start, end) in version_nodes(data, children_at, root_end):
        if key == "StringFileInfo":
            for _, _, (table_at, table_end) in version_nodes(data, start, end):
                for name, value, _ in version_nodes(data, table_at, table_end):
                    strings[name] = value.decode("utf-16-le").rstrip("\0")
    for name, expected in expected_strings.items():
        if strings.get(name) != expected:
            problems.append(f"{name} is {strings.get(name)!r}, not {expected!r}")
    return problems


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        with open(argv[1], "rb") as f:
            found = resources(f.read())
        manifests = [data for (kind, name, _), data in found.items() if (kind, name) == (RT_MANIFEST, 1)]
        versions = [data for (kind, name, _), data in found.items() if (kind, name) == (RT_VERSION, 1)]
        problems = []
        if len(manifests) != 1:
            problems.append(f"{len(manifests)} manifests with id 1, expected one")
        else:
            problems += manifest_problems(manifests[0])
        if len(versions) != 1:
            problems.append(f"{len(versions)} version resources, expected one")
        else:
            problems += version_problems(versions[0], argv[2])
    except (PeError, ElementTree.ParseError, struct.error, ValueError) as error:
        problems = [str(error)]
    for problem in problems:
        print(f"FAIL: {problem}")
    if problems:
        return 1
    print(f"PASS: {argv[1]}: manifest asks for administrator rights on Vista to 11; version {argv[2]} of "
          f"{EXPECTED_STRINGS['ProductName']}, {EXPECTED_STRINGS['LegalCopyright']}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
