#!/usr/bin/env python3
"""Checks the built Setup.exe as a file: what Windows sees before it runs it.

    check_pe.py --format FILE          32-bit x86, GUI, system DLLs only,
                                       ASLR, DEP and no SEH handlers, relocations,
                                       no time stamp,
                                       none of the calls that take outside text
                                       through the code page, no wait that
                                       leaves the window's messages waiting
    check_pe.py --max-size BYTES FILE  the file is at most BYTES long

Prints each problem found and exits with 1 when there is one.
"""
import struct
import sys

MACHINE_I386 = 0x014C
PE32_MAGIC = 0x010B
PE32_PLUS_MAGIC = 0x020B
SUBSYSTEM_WINDOWS_GUI = 2
FILE_RELOCS_STRIPPED = 0x0001
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
NO_SEH = 0x0400
IMPORT_DIRECTORY = 1
RELOCATION_DIRECTORY = 5
DELAY_IMPORT_DIRECTORY = 13
# The launcher may load nothing but these; compared without regard to case,
# as the loader does.
ALLOWED_DLLS = ("kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll")
# Text from outside (the command line, the launcher's own path, registry
# values, what a box shows) goes through the wide calls: these would pass it
# through the system's code page, where a character it lacks becomes "?" or
# a look-alike. A wait that handles no messages would let a broadcast to
# the launcher's window block the program it waits for.
REFUSED_CALLS = ("GetCommandLineA", "CreateProcessA", "GetModuleFileNameA",
                 "GetSystemDirectoryA", "RegQueryValueExA", "RegSetValueExA", "MessageBoxA",
                 "WaitForSingleObject", "WaitForSingleObjectEx")


class PeError(Exception):
    pass


def _unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise PeError(f"truncated at offset {offset:#x}")
    return struct.unpack_from(fmt, data, offset)


def image(data):
    """Returns the optional header's magic, the data directories and an
    RVA-to-file-offset function of a PE32 or PE32+ image."""
    if data[:2] != b"MZ":
        raise PeError("not a PE image: no MZ header")
    (pe_offset,) = _unpack("<I", data, 0x3C)
    if data[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise PeError("not a PE image: no PE signature")
    coff = pe_offset + 4
    (section_count,) = _unpack("<H", data, coff + 2)
    (optional_size,) = _unpack("<H", data, coff + 16)
    optional = coff + 20
    (magic,) = _unpack("<H", data, optional)
    if magic not in (PE32_MAGIC, PE32_PLUS_MAGIC):
        raise PeError(f"optional header magic {magic:#06x}, neither PE32 nor PE32+")
    count_at = optional + (92 if magic == PE32_MAGIC else 108)
    (directory_count,) = _unpack("<I", data, count_at)
    directories = [_unpack("<II", data, count_at + 4 + 8 * i) for i in range(directory_count)]

    sections = []
    table = optional + optional_size
    for i in range(section_count):
        virtual_size, virtual_address, raw_size, raw_offset = _unpack("<IIII", data, table + 40 * i + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def file_offset(rva):
        for virtual_address, size, raw_offset in sections:
            if virtual_address <= rva < virtual_address + size:
                return raw_offset + rva - virtual_address
        raise PeError(f"RVA {rva:#x} lies in no section")

    return magic, directories, file_offset


def parse(data):
    """Returns the header fields, the imported DLL names and the functions
    imported by name of a PE32 image."""
    magic, directories, file_offset = image(data)
    if magic != PE32_MAGIC:
        raise PeError(f"optional header magic {magic:#06x}, not PE32 ({PE32_MAGIC:#06x})")
    (pe_offset,) = _unpack("<I", data, 0x3C)
    coff = pe_offset + 4
    machine, _, time_stamp = _unpack("<HHI", data, coff)
    (characteristics,) = _unpack("<H", data, coff + 18)
    subsystem, dll_characteristics = _unpack("<HH", data, coff + 20 + 68)

    def directory(index):
        return directories[index] if index < len(directories) else (0, 0)

    def text_at(rva):
        start = file_offset(rva)
        end = data.find(b"\0", start)
        if end < 0:
            raise PeError(f"unterminated name at RVA {rva:#x}")
        return data[start:end].decode("ascii", "replace")

    dlls = []
    functions = []
    import_rva, _ = directory(IMPORT_DIRECTORY)
    if import_rva:
        descriptor = file_offset(import_rva)
        while True:
            fields = _unpack("<IIIII", data, descriptor)
            if fields == (0, 0, 0, 0, 0):
                break
            dlls.append(text_at(fields[3]))
            # The lookup table (or, without one, the address table): one
            # entry a function, a hint and name unless the top bit says an
            # ordinal.
            thunk = file_offset(fields[0] or fields[4])
            while True:
                (entry,) = _unpack("<I", data, thunk)
                if entry == 0:
                    break
                if not entry & 0x80000000:
                    functions.append(text_at(entry + 2))
                thunk += 4
            descriptor += 20

    return {
        "machine": machine,
        "time_stamp": time_stamp,
        "characteristics": characteristics,
        "subsystem": subsystem,
        "dll_characteristics": dll_characteristics,
        "relocations": directory(RELOCATION_DIRECTORY)[1],
        "delay_imports": directory(DELAY_IMPORT_DIRECTORY)[1],
        "dlls": dlls,
        "functions": functions,
    }


def format_problems(data):
    try:
        pe = parse(data)
    except PeError as error:
        return [str(error)]
    problems = []
    if pe["machine"] != MACHINE_I386:
        problems.append(f"machine {pe['machine']:#06x}, expected i386 ({MACHINE_I386:#06x})")
    if pe["subsystem"] != SUBSYSTEM_WINDOWS_GUI:
        problems.append(f"subsystem {pe['subsystem']}, expected the Windows GUI ({SUBSYSTEM_WINDOWS_GUI})")
    if not pe["dll_characteristics"] & DYNAMIC_BASE:
        problems.append("DllCharacteristics lacks DYNAMIC_BASE (ASLR)")
    if not pe["dll_characteristics"] & NX_COMPAT:
        problems.append("DllCharacteristics lacks NX_COMPAT (DEP)")
    # Without a safe-handler table, only this flag keeps the system from
    # calling a handler an overwritten stack points into the image.
    if not pe["dll_characteristics"] & NO_SEH:
        problems.append("DllCharacteristics lacks NO_SEH")
    # Without relocations the loader cannot move the image, and ASLR is void.
    if pe["characteristics"] & FILE_RELOCS_STRIPPED or not pe["relocations"]:
        problems.append("no base relocations, so the image cannot be moved")
    if pe["time_stamp"] != 0:
        problems.append(f"link time stamp {pe['time_stamp']:#x}; two builds would differ")
    if pe["delay_imports"]:
        problems.append("delay-load imports present")
    others = [dll for dll in pe["dlls"] if dll.lower() not in ALLOWED_DLLS]
    if others:
        problems.append("imports other DLLs: " + ", ".join(others))
    if not pe["dlls"]:
        problems.append("no imports found")
    refused = [name for name in pe["functions"] if name in REFUSED_CALLS]
    if refused:
        problems.append("imports calls that take text through the code page or wait"
                        " without handling messages: " + ", ".join(refused))
    return problems


def size_problems(size, limit):
    if size > limit:
        return [f"{size} bytes, more than {limit} ({size - limit} over)"]
    return []


def main(argv):
    if len(argv) == 3 and argv[1] == "--format":
        with open(argv[2], "rb") as f:
            problems = format_problems(f.read())
        passed = (f"{argv[2]}: i386, GUI, ASLR, DEP, no SEH handlers, relocations, no time stamp,"
                  " imports only"
                  " system DLLs and none of the refused calls")
    elif len(argv) == 4 and argv[1] == "--max-size":
        with open(argv[3], "rb") as f:
            size = len(f.read())
        problems = size_problems(size, int(argv[2]))
        passed = f"{argv[3]}: {size} bytes, at most {argv[2]}"
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for problem in problems:
        print(f"FAIL: {problem}")
    if problems:
        return 1
    print(f"PASS: {passed}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
