#!/usr/bin/env python3
"""Packs the files of the File table into a cabinet for embedding in the package.

    make_cabinet.py FILE_TABLE SOURCE_FOLDER OUTPUT.cab

Each file is stored under its File table key, which is the name the Installer
looks for in the cabinet, in Sequence order. The data is stored uncompressed
(the demo files are tiny) and every file carries one fixed date, so the same
sources always give the same bytes. A FileSize that does not match the source
file stops the build: the Installer would otherwise install a different file
from the one the table describes.
"""
import struct
import sys

FIXED_DATE = ((2000 - 1980) << 9) | (4 << 5) | 25  # 25 April 2000, DOS format
FIXED_TIME = 12 << 11                               # 12:00:00
ATTRIBUTE_ARCHIVE = 0x20
BLOCK_SIZE = 32768                                  # the most one data block may hold


def read_file_table(path):
    with open(path, encoding="ascii") as table:
        lines = table.read().splitlines()
    columns = lines[0].split("\t")
    rows = [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]
    return sorted(rows, key=lambda row: int(row["Sequence"]))


def long_name(file_name):
    # A FileName is "SHORT|long name" or a name that is valid in both forms.
    return file_name.split("|")[-1]


def checksum(data, seed=0):
    # The cabinet checksum: XOR of little-endian 32-bit words; the last one to
    # three bytes are taken with the first of them as the most significant.
    value = seed
    whole = len(data) // 4 * 4
    for (word,) in struct.iter_unpack("<I", data[:whole]):
        value ^= word
    tail = 0
    for byte in data[whole:]:
        tail = (tail << 8) | byte
    return value ^ tail


def build_cabinet(entries):
    payload = b"".join(data for _, data in entries)
    blocks = [payload[i:i + BLOCK_SIZE] for i in range(0, len(payload), BLOCK_SIZE)] or [b""]

    header_size = 36
    folder_size = 8
    file_records = b""
    offset = 0
    for name, data in entries:
        file_records += struct.pack("<IIHHHH", len(data), offset, 0, FIXED_DATE, FIXED_TIME,
                                    ATTRIBUTE_ARCHIVE) + name.encode("ascii") + b"\0"
        offset += len(data)
    files_start = header_size + folder_size
    data_start = files_start + len(file_records)

    data_records = b""
    for block in blocks:
        sizes = struct.pack("<HH", len(block), len(block))
        data_records += struct.pack("<I", checksum(sizes, checksum(block))) + sizes + block

    total = data_start + len(data_records)
    header = struct.pack("<4sIIIIIBBHHHHH", b"MSCF", 0, total, 0, files_start, 0, 3, 1,
                         1, len(entries), 0, 0, 0)
    folder = struct.pack("<IHH", data_start, len(blocks), 0)  # type 0: no compression
    return header + folder + file_records + data_records


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make_cabinet.py FILE_TABLE SOURCE_FOLDER OUTPUT.cab")
    table, source, output = sys.argv[1:]
    entries = []
    for row in read_file_table(table):
        path = source + "/" + long_name(row["FileName"])
        with open(path, "rb") as source_file:
            data = source_file.read()
        if len(data) != int(row["FileSize"]):
            sys.exit("%s: %d bytes, but the File table says %s"
                     % (path, len(data), row["FileSize"]))
        entries.append((row["File"], data))
    with open(output, "wb") as cabinet:
        cabinet.write(build_cabinet(entries))


if __name__ == "__main__":
    main()
