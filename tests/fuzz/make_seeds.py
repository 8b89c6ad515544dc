#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/.

The seeds are typical inputs of the launcher (its switches, registry values
as an installation leaves them) and the edges of its 260-byte buffers, each
laid out in the input format that the target's source file describes. Run
it again after changing a format; libFuzzer adds its own findings to a
separate work directory, never here.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

LANGUAGES = [1033, 1034, 1030, 1043, 1035, 1036, 1040, 1031, 2068, 2070, 1053, 1041]


def length_part(data: bytes) -> bytes:
    return struct.pack("<H", len(data)) + data


def directory_of_length(length: int) -> bytes:
    """A directory text of the given length that ends with a backslash."""
    text = b"D:\\"
    while len(text) + 1 < length:
        text += bytes([ord("a") + len(text) % 26])
    text += b"\\"
    return text[:length]


def received(text: bytes) -> bytes:
    """A value as a query leaves it in a cleared 260-byte buffer."""
    return text + b"\0" * (260 - len(text)) if len(text) < 260 else text[:260]


def command_line():
    seeds = {
        "empty": b"",
        "name_only": b"Setup.exe",
        "name_blank": b"Setup.exe ",
        "language": b"Setup.exe /l1036",
        "quoted_name": b'"D:\\Media\\Setup.exe" /l1036 /x',
        "quoted_empty": b'"" /bl',
        "unclosed_quote": b'"D:\\Media\\Setup.exe /vd',
        "tabs": b"Setup.exe\t\t /vd",
        "properties": b'Setup.exe /s /v"/qn INSTALLDIR=\\"C:\\Omrik\\Vindara\\""',
        "logresources": b"Setup.exe /LOGRESOURCES /vd",
        "control_chars": b"Setup.exe\x01\x02 /x\x1f",
        "high_bytes": b"Set\xe9up.exe \xff/l1041",
    }
    for length in (248, 249, 259, 260, 600):
        seeds["args_%d" % length] = b"Setup.exe " + b"a" * length
    return seeds


def language():
    seeds = {
        "none": b"",
        "l1036": b"/l1036",
        "l10361": b"/l10361",
        "l_blank": b"/l 1036",
        "l1044": b"/l1044",
        "l_at_end": b"/x /l",
        "l2068": b"/l2068",
        "inside_property": b'/s /v"/l1041"',
        "signed": b"/l+1031",
        "negative": b"/l-1033",
        "upper": b"/L1036",
        "second_l": b"/lx /l1036",
        "short": b"/l10",
    }
    for lang in LANGUAGES:
        seeds["l%d" % lang] = b"/l%d /qn" % lang
    return seeds


def dispatch():
    def stage(log=0, start=1, checks=0, reports=0, trailing=0x3F, plain=0x3F, code=0, visible=1):
        flags = log | (start << 1) | (visible << 2)
        return bytes([flags, checks, reports, trailing, plain]) + struct.pack("<I", code)

    return {
        "plain_install": stage(reports=4) + b"",
        "already_installed_pair3": stage(checks=0x04) + b"/l1036",
        "already_installed_pair6": stage(checks=0x20) + b"/l1041",
        "uninstall": stage(checks=0x3F, reports=4) + b"/x /qn",
        "help_first": stage(log=1) + b"/? /vd /bl /x",
        "version_then": stage() + b"/vd /bl",
        "build_level_plain": stage(reports=2) + b"/bl /x",
        "not_installed": stage(reports=0) + b"/bl",
        "log_and_version": stage(log=1) + b"/LOGRESOURCES /vd",
        "log_fails": stage(log=0, reports=8) + b"/LOGRESOURCES",
        "repairs_fall_back": stage(reports=8, trailing=0x15, plain=0) + b"/l1031",
        "no_client_level": stage(reports=0) + b"/s",
        "failed_install": stage(reports=4, code=1603) + b"/v\"/qn\"",
        "not_started": stage(start=0, code=2) + b"/l1036",
        "restart_code": stage(reports=12, code=3010) + b"/s",
        "upper_x": stage(reports=4) + b"/X",
        "long_args": stage(reports=4) + b"/s " + b"b" * 300,
        "args_248": stage(reports=4) + b"c" * 248,
        "unseen_refusal": stage(checks=0x04, visible=0) + b"/l1036",
        "unseen_reports": stage(log=1, reports=3, visible=0) + b"/LOGRESOURCES /bl /vd",
        "unseen_help": stage(visible=0) + b"/?",
    }


def client_level():
    seeds = {}
    values = {
        "v450": b"VNR/4.50",
        "v39": b"VNR/3.9",
        "v4": b"VNR/4",
        "empty_after_slash": b"VNR/",
        "no_slash": b"VNR",
        "slash_only": b"/5",
        "hex": b"VNR/0x10",
        "inf": b"VNR/inf",
        "nan": b"VNR/nan",
        "huge": b"VNR/1e999",
        "tiny": b"VNR/1e-999",
        "signed_blank": b"VNR/ -4.5",
        "exponent": b"VNR/0.4e1",
        "dot_only": b"VNR/.",
        "two_slashes": b"VNR/3.9/4.5",
        "nul_before_slash": b"VNR\0/4.5",
    }
    for index, (name, value) in enumerate(sorted(values.items())):
        seeds[name] = bytes([index % 12]) + value
        seeds[name + "_received"] = bytes([index % 12]) + received(value)
    seeds["full_digits_no_nul"] = bytes([5]) + b"VNR/" + b"4" * 256
    seeds["full_slash_last"] = bytes([11]) + b"x" * 259 + b"/"
    seeds["full_fraction"] = bytes([2]) + b"/3." + b"9" * 257
    return seeds


def directory_values():
    usual = b"\x00"
    seeds = {
        "d_apps": usual + received(b"D:\\Apps\\"),
        "d_apps_exact": usual + b"D:\\Apps\\\0",
        "no_backslash": usual + received(b"D:\\Apps"),
        "no_nul": usual + b"D:\\Apps\\",
        "empty": usual + b"\0",
        "stale_bytes": usual + b"D:\\Apps\\\0JUNK!",
        "full_no_nul": usual + b"d" * 260,
        "small_cap": b"\x94" + received(b"D:\\Apps\\"),
        "zero_cap": b"\x80" + received(b"D:\\Apps\\"),
    }
    for length in (229, 230, 239, 240, 248, 249, 259, 260):
        seeds["dir_%d" % length] = usual + received(directory_of_length(length))
    return seeds


def source_value():
    usual = b"\x00"
    apps = received(b"E:\\Apps\\")

    def seed(source: bytes, directory: bytes = apps, cap: bytes = usual) -> bytes:
        return cap + length_part(source) + directory

    return {
        "last_used": seed(b"n;1;D:\\Setup\\\0"),
        "net_one": seed(b"D:\\Setup\\\0"),
        "unc": seed(b"\\\\server\\share\\setup\\\0"),
        "unc_after_prefix": seed(b"n;1;\\\\server\\share\\\0"),
        "colon_first": seed(b":\\Setup\\\0"),
        "colon_only": seed(b":"),
        "drive_only": seed(b"D:"),
        "later_colons": seed(b"n;1;D:\\a:b\\c:\0"),
        "no_nul_source": seed(b"n;1;D:\\Setup\\"),
        "full_source_colon_last": seed(b"x" * 258 + b"D:"),
        "full_source_no_colon": seed(b"x" * 260),
        "nul_before_colon": seed(b"n;1;\0D:\\x"),
        "dir_no_backslash": seed(b"n;1;D:\\Setup\\\0", received(b"E:\\Apps")),
        "dir_full_no_nul": seed(b"D:\\Setup\\\0", b"d" * 260),
        "dir_empty": seed(b"n;1;D:\\Setup\\\0", received(b"")),
        "dir_255": seed(b"n;1;D:\\Setup\\\0", received(directory_of_length(255))),
        "dir_256": seed(b"n;1;D:\\Setup\\\0", received(directory_of_length(256))),
        "dir_259": seed(b"D:\\Setup\\\0", received(directory_of_length(259))),
        "small_cap": seed(b"n;1;D:\\Setup\\\0", apps, b"\x86"),
    }


def report_text():
    def seed(read: int, *values: bytes) -> bytes:
        return bytes([read]) + b"".join(length_part(v) for v in values)

    date = b"Abr 25, 2000\0"
    return {
        "two_of_four_read": seed(0b0101, received(date), b"", received(b"D:\\Apps\\"), b""),
        "all_read": seed(0xF, received(date), received(b"VNR/4.50"),
                         received(b"D:\\Apps\\"), received(b"20000425")),
        "none_read": seed(0, b"", b"", b"", b""),
        "full_no_nul": seed(0xF, b"b" * 260, b"c" * 260, b"d" * 260, b"e" * 260),
        "full_259": seed(0xF, received(b"b" * 259), received(b"c" * 259),
                         received(b"d" * 259), received(b"e" * 259)),
        "binary": seed(0xF, b"\x01\x00\x00\x00", b"\xff\xfe", b"", b"\0\0\0"),
        "mixed": seed(0b1010, b"x" * 10, b"VNR/3.9", b"y" * 260, b"2000"),
    }


def log_text():
    def seed(cap: int, disk, memory) -> bytes:
        return bytes([cap]) + b"".join(struct.pack("<Q", v) for v in list(disk) + list(memory))

    typical_memory = [32, 41, 2147483648, 1073741824, 4294967295, 3221225472, 2147352576, 2130055168]
    return {
        "zeros": seed(0, [0, 0, 0], [0] * 8),
        "typical": seed(40, [53687091200, 107374182400, 53687091200], typical_memory),
        "above_32_bits": seed(64, [4294967296, 4294967295, 4294967297], typical_memory),
        "largest": seed(255, [2**64 - 1] * 3, [2**64 - 1] * 8),
        "one_each": seed(1, [1, 10, 100], [1, 9, 10, 99, 100, 999, 1000, 9999]),
    }


TARGETS = {
    "command_line": command_line,
    "language": language,
    "dispatch": dispatch,
    "client_level": client_level,
    "directory_values": directory_values,
    "source_value": source_value,
    "report_text": report_text,
    "log_text": log_text,
}


def main():
    for target, make in TARGETS.items():
        folder = os.path.join(CORPUS, target)
        # Keep inputs added by hand (crash reproducers), replace the made ones.
        os.makedirs(folder, exist_ok=True)
        for name, data in make().items():
            with open(os.path.join(folder, name), "wb") as seed_file:
                seed_file.write(data)


if __name__ == "__main__":
    main()
