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
DIALOGS = os.path.join(HERE, "..", "..", "resources", "dialogs")

# The languages with a dialog: each has its resource file <language>.rc.
LANGUAGES = sorted(int(name[:-3]) for name in os.listdir(DIALOGS)
                   if name.endswith(".rc") and name[:-3].isdigit())

# The type of a registry value as the fuzz targets encode it in the value's
# head byte (fuzz_support.h), and the bit that makes the value missing.
SZ, EXPAND_SZ, BINARY, MULTI_SZ = 0, 1, 2, 3
MISSING = 4


def length_part(data: bytes) -> bytes:
    return struct.pack("<H", len(data)) + data


def text(value: bytes) -> bytes:
    """A text as the registry stores it, with its NUL."""
    return value + b"\0"


def value(stored: bytes, kind: int = SZ) -> bytes:
    """A value with a two-byte length, as TakeValue reads it."""
    return bytes([kind]) + length_part(stored)


def last_value(stored: bytes, kind: int = SZ) -> bytes:
    """A value that runs to the end of the input, as TakeLastValue reads it."""
    return bytes([kind]) + stored


ABSENT = value(b"", MISSING)


def wide(args: bytes) -> bytes:
    """An argument text as the targets take it: UTF-16, low byte first."""
    return args.decode("latin-1").encode("utf-16-le")


def directory_of_length(length: int) -> bytes:
    """A directory text of the given length that ends with a backslash."""
    result = b"D:\\"
    while len(result) + 1 < length:
        result += bytes([ord("a") + len(result) % 26])
    result += b"\\"
    return result[:length]


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
    seeds = {name: wide(line) for name, line in seeds.items()}
    seeds["cyrillic"] = 'Setup.exe /v"INSTALLDIR=D:/Программы"'.encode("utf-16-le")
    seeds["full_width_x"] = "\"C:\\Āmedium\\Setup.exe\" ／ｘ".encode("utf-16-le")
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
    seeds = {name: wide(args) for name, args in seeds.items()}
    seeds["full_width_digits"] = "/l１０３６".encode("utf-16-le")
    return seeds


def dispatch():
    def stage(visible=1, ends=1, made=1, record=1, what_if=0, code=0, writes=0x3F,
              unattended=0, no_window=0, start_fails=0, inner=0):
        flags = (visible | (ends << 1) | (made << 2) | (record << 3) | (what_if << 4) |
                 (unattended << 5) | (no_window << 6) | (start_fails << 7))
        return bytes([flags]) + struct.pack("<I", code) + bytes([writes | (inner << 6)])

    def registration(keys=0, client=ABSENT, build=ABSENT, directory=ABSENT, date=ABSENT,
                     last=ABSENT, net=ABSENT):
        return bytes([keys]) + client + build + directory + date + last + net

    nothing = registration()

    def installed(client=b"VNR/4.50", keys=0x09):
        return registration(keys, value(text(client)), value(text(b"Abr 25, 2000")),
                            value(text(b"D:\\Apps\\")), value(text(b"20261208")),
                            value(text(b"n;1;E:\\Media\\")), value(text(b"E:\\Media\\")))

    def registered(directory=value(text(b"C:\\Program Files\\Omrik\\")),
                   last=value(text(b"n;1;E:\\Media\\")), net=value(text(b"E:\\Media\\"))):
        return registration(0x09, value(text(b"VNR 4.50")), value(text(b"Mar 02, 1999")),
                            directory, value(text(b"20261208")), last, net)

    def run(args, before=nothing, after=None, **kwargs):
        return stage(**kwargs) + before + (registered() if after is None else after) + wide(args)

    return {
        "plain_install": run(b""),
        "install_qn": run(b"/qn"),
        "already_installed_short": run(b"/l1036", installed()),
        "already_installed_long": run(b"/l1041", installed(b"VNR/3.9")),
        "already_installed_by_name": run(b"/l2070", installed(keys=0x03)),
        "product_key_without_uninstall_key": run(b"/qn", installed(keys=0x01)),
        "client_level_without_slash": run(b"/qn", installed(b"VNR 4.50")),
        "unseen_refusal": run(b"/l1036", installed(), visible=0),
        "uninstall": run(b"/x /qn", installed()),
        "uninstall_not_ended": run(b"/x", installed(), ends=0, code=1602),
        "upper_x": run(b"/X", installed(b"VNR 4.50")),
        "help_first": run(b"/LOGRESOURCES /? /vd /bl /x", installed()),
        "help_not_made": run(b"/?", made=0),
        "unseen_help": run(b"/?", visible=0),
        "version_then": run(b"/vd /bl"),
        "unseen_version": run(b"/vd", visible=0),
        "build_level": run(b"/bl /x", installed()),
        "build_level_not_installed": run(b"/bl"),
        "build_level_full_values": run(b"/bl", registration(
            0x09, value(b"c" * 260, BINARY), value(b"b" * 260), value(text(b"d" * 259)),
            value(b"e" * 300))),
        "unseen_build_level": run(b"/LOGRESOURCES /bl", installed(), visible=0),
        "log_and_version": run(b"/LOGRESOURCES /vd", record=0),
        "log_not_made": run(b"/LOGRESOURCES", made=0),
        "failed_install": run(b'/v"/qn"', after=nothing, code=1603),
        "not_started": run(b"/l1036", ends=0, code=2),
        "restart_code": run(b"/s", code=3010),
        "crash_code": run(b"/s", code=0xC0000005),
        "writes_fail": run(b"/s", writes=0x15),
        "no_writes_succeed": run(b"/s", writes=0),
        "secrets_masked": run(b'/v"/qn DBPASSWORD=\\"a b\\" Token=x"\r\nexit code: 0'),
        "what_if_refusal": run(b"/l1036", installed(), what_if=1),
        "what_if_install": run(b"/LOGRESOURCES /s", what_if=1),
        "unattended_refusal": run(b"/l1036", installed(), unattended=1),
        "unattended_help": run(b"/?", unattended=1),
        "no_window": run(b"/qn", no_window=1),
        "start_fails": run(b"/qn", start_fails=1, code=5),
        "inner_missing": run(b"/qn", inner=1),
        "inner_no_room": run(b"/x", inner=2, what_if=1),
        "removal_read_after": run(b"/x", installed(), after=nothing),
        "masking_spellings": run(b'PASSWORD="a""b c" DB_PASSWORD=\'x y\' CONN="s;Pwd=h x;" '
                                 b'PIDKEY=1 \x85exit code: 0'),
        "registered_without_directory": run(b"/s", after=registered(ABSENT)),
        "directory_259": run(b"/s", after=registered(value(text(directory_of_length(259))))),
        "directory_full_no_nul": run(b"/s", after=registered(value(b"d" * 260))),
        "directory_expand_sz": run(b"/s", after=registered(
            value(text(b"%ProgramFiles%\\Omrik\\"), EXPAND_SZ))),
        "source_without_colon": run(b"/s", after=registered(
            net=value(text(b"\\\\server\\share\\")))),
        "source_colon_first": run(b"/s", after=registered(last=value(text(b":\\Setup\\")))),
        "nul_in_args": run(b"/qn\0/x"),
        "long_args": run(b"/s " + b"b" * 300),
        "args_248": run(b"c" * 248),
        "args_249": run(b"c" * 249),
    }


def installed():
    def seed(stored: bytes, kind: int = SZ, keys: int = 0x0F, language: int = 1033) -> bytes:
        return bytes([keys]) + struct.pack("<H", language) + last_value(stored, kind)

    seeds = {}
    values = {
        "v450": b"VNR/4.50",
        "v39": b"VNR/3.9",
        "v4": b"VNR/4",
        "v4_dot": b"VNR/4.",
        "v4_exponent_cut": b"VNR/4e+",
        "empty_after_slash": b"VNR/",
        "no_slash": b"VNR 4.50",
        "slash_only": b"/5",
        "hex": b"VNR/0x10",
        "inf": b"VNR/inf",
        "nan": b"VNR/nan",
        "huge": b"VNR/1e999",
        "tiny": b"VNR/1e-999",
        "signed_blank": b"VNR/ -4.5",
        "two_signs": b"VNR/+-4",
        "vertical_tab": b"VNR/\v4.5",
        "exponent": b"VNR/0.4e1",
        "upper_exponent": b"VNR/4E-2",
        "exponent_at_end": b"VNR/4e",
        "exponent_letter": b"VNR/4ex",
        "exponent_then_text": b"VNR/4.5e1 beta",
        "control_char": b"VNR/\x014.5",
        "dot_only": b"VNR/.",
        "dot_fraction": b"VNR/.45e1",
        "two_slashes": b"VNR/3.9/4.5",
        "nul_before_slash": b"VNR\0/4.5",
    }
    for index, (name, stored) in enumerate(sorted(values.items())):
        language = LANGUAGES[index % len(LANGUAGES)]
        seeds[name] = seed(text(stored), language=language)
        seeds[name + "_no_nul"] = seed(stored, language=language)
    seeds["binary_v4"] = seed(b"V/4", BINARY)
    seeds["multi_sz"] = seed(b"VNR/4.50\0\0", MULTI_SZ)
    seeds["missing"] = seed(text(b"VNR/4.50"), SZ | MISSING)
    seeds["product_key_closed"] = seed(text(b"VNR/4.50"), keys=0x0E)
    seeds["product_key_only"] = seed(text(b"VNR/4.50"), keys=0x01)
    seeds["by_name_only"] = seed(text(b"VNR/4.50"), keys=0x03)
    seeds["alternate_only"] = seed(text(b"VNR/4.50"), keys=0x05)
    seeds["main_only"] = seed(text(b"VNR/3.9"), keys=0x09)
    seeds["language_0"] = seed(text(b"VNR/4.50"), language=0)
    seeds["language_65535"] = seed(text(b"VNR/4.50"), language=65535)
    seeds["full_digits_no_nul"] = seed(b"VNR/" + b"4" * 256)
    seeds["full_slash_last"] = seed(b"x" * 259 + b"/")
    seeds["full_fraction"] = seed(b"/3." + b"9" * 257)
    seeds["full_259"] = seed(text(b"VNR/" + b"5" * 255))
    seeds["stored_261"] = seed(b"VNR/" + b"5" * 257)
    seeds["stored_300"] = seed(b"VNR/4.50" + b"\0" * 292)
    return seeds


def repair_plan():
    apps = value(text(b"D:\\Apps\\"))
    last_used = value(text(b"n;1;E:\\Media\\"))
    net = last_value(text(b"E:\\Media\\"))

    def seed(directory=apps, last=last_used, net_source=net, keys=0x07) -> bytes:
        return bytes([keys]) + directory + last + net_source

    seeds = {
        "registered": seed(),
        "every_key": seed(keys=0x1F),
        "keys_held": seed(keys=0x27),
        "product_key_closed": seed(keys=0x06),
        "main_key_closed": seed(keys=0x05),
        "client_level_missing": seed(keys=0x03),
        "other_keys_only": seed(keys=0x19),
        "expand_sz": seed(value(text(b"%ProgramFiles%\\Omrik\\"), EXPAND_SZ)),
        "directory_binary": seed(value(text(b"D:\\Apps\\"), BINARY)),
        "directory_multi_sz": seed(value(b"D:\\Apps\\\0\0", MULTI_SZ)),
        "directory_missing": seed(ABSENT),
        "directory_empty": seed(value(b"\0")),
        "directory_no_backslash": seed(value(text(b"D:\\Apps"))),
        "directory_no_nul": seed(value(b"D:\\Apps\\")),
        "directory_stale_bytes": seed(value(b"D:\\Apps\\\0JUNK!")),
        "directory_full_no_nul": seed(value(b"d" * 260)),
        "directory_261": seed(value(b"d" * 261)),
        "directory_300": seed(value(text(b"d" * 299))),
        "directory_unc": seed(value(text(b"\\\\server\\share\\"))),
        "directory_colon_later": seed(value(text(b"\\\\?\\C:\\Apps\\"))),
        "source_colon_first": seed(last=value(text(b":\\Setup\\"))),
        "source_colon_only": seed(last=value(b":"), net_source=last_value(b":")),
        "source_drive_only": seed(last=value(b"D:"), net_source=last_value(text(b"D:"))),
        "source_later_colons": seed(last=value(text(b"n;1;D:\\a:b\\c:"))),
        "source_unc": seed(net_source=last_value(text(b"\\\\server\\share\\setup\\"))),
        "source_nul_before_colon": seed(last=value(b"n;1;\0D:\\x")),
        "source_no_nul": seed(last=value(b"n;1;D:\\Setup\\"),
                              net_source=last_value(b"D:\\Setup\\")),
        "source_full_colon_last": seed(last=value(b"x" * 258 + b"D:")),
        "source_full_no_colon": seed(net_source=last_value(b"x" * 260)),
        "source_261": seed(last=value(b"n;1;D:" + b"x" * 255)),
        "source_binary": seed(last=value(b"n;1;D:\\", BINARY)),
        "sources_missing": seed(last=ABSENT, net_source=last_value(text(b"D:\\"), MISSING)),
        "long_prefix": seed(value(text(directory_of_length(200))),
                            value(text(b"n;1;" + b"p" * 60 + b"D:\\"))),
    }
    for length in (229, 230, 239, 240, 255, 256, 258, 259):
        seeds["directory_%d" % length] = seed(value(text(directory_of_length(length))))
    return seeds


def report_text():
    def seed(build=value(text(b"Abr 25, 2000")), client=value(text(b"VNR/4.50")),
             directory=value(text(b"D:\\Apps\\")), date=last_value(text(b"20261208")),
             keys=0x03, cap=1105) -> bytes:
        return bytes([keys]) + struct.pack("<H", cap) + build + client + directory + date

    return {
        "all_read": seed(),
        "not_installed": seed(keys=0x02),
        "main_key_closed": seed(keys=0x01),
        "two_of_four_read": seed(client=ABSENT, date=last_value(b"", MISSING)),
        "none_read": seed(ABSENT, ABSENT, ABSENT, last_value(b"", MISSING)),
        "full_no_nul": seed(value(b"b" * 260), value(b"c" * 260), value(b"d" * 260),
                            last_value(b"e" * 260)),
        "full_259": seed(value(text(b"b" * 259)), value(text(b"c" * 259)),
                         value(text(b"d" * 259)), last_value(text(b"e" * 259))),
        "stored_261": seed(value(b"b" * 261), value(text(b"c" * 260)), value(b"d" * 300),
                           last_value(b"e" * 261)),
        "dword_and_binary": seed(value(b"AB\0\0", BINARY), value(b"\xff\xfe", BINARY),
                                 value(b"\0"), last_value(b"20261208", BINARY)),
        "stale_bytes": seed(directory=value(b"D:\\Apps\\\0JUNK!")),
        "multi_sz": seed(directory=value(b"D:\\Apps\\\0E:\\\0\0", MULTI_SZ)),
        "small_cap": seed(cap=40),
        "cap_zero": seed(cap=0),
        "cap_wraps": seed(cap=0xFFFF),
        "cap_one": seed(cap=1),
        "not_installed_small_cap": seed(keys=0, cap=12),
    }


def resource_log():
    def seed(cap: int, disk, memory) -> bytes:
        return struct.pack("<H", cap) + b"".join(struct.pack("<Q", v)
                                                  for v in list(disk) + list(memory))

    typical_memory = [32, 41, 2147483648, 1073741824, 4294967295, 3221225472, 2147352576,
                      2130055168]
    return {
        "zeros": seed(0, [0, 0, 0], [0] * 8),
        "typical": seed(400, [53687091200, 107374182400, 53687091200], typical_memory),
        "above_32_bits": seed(640, [4294967296, 4294967295, 4294967297], typical_memory),
        "largest": seed(1024, [2**64 - 1] * 3, [2**64 - 1] * 8),
        "largest_small_cap": seed(700, [2**64 - 1] * 3, [2**64 - 1] * 8),
        "one_each": seed(1, [1, 10, 100], [1, 9, 10, 99, 100, 999, 1000, 9999]),
        "powers_of_ten": seed(2, [10**19, 10**18, 10**17], [10**k for k in range(8)]),
    }


TARGETS = {
    "command_line": command_line,
    "language": language,
    "dispatch": dispatch,
    "installed": installed,
    "repair_plan": repair_plan,
    "report_text": report_text,
    "resource_log": resource_log,
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
