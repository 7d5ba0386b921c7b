#!/usr/bin/env python3
"""Writes the seed inputs of the native fuzz targets into tests/native/seeds/TARGET/.

usage: make_seeds.py [SEEDS_DIR]

The seeds are committed; run this again after changing it. Archives come from the
byte-level writer of the extraction tests (tests/install/make_zip_fixtures.py), so that
damaged and unusual ones are as easy to make as ordinary ones. Every seed stays small:
the fuzzer mutates them, it does not need bulk.
"""

import os
import shutil
import struct
import sys

sys.dont_write_bytecode = True  # nothing left behind in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "install"))
import make_zip_fixtures as zf  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
UT_ALL = struct.pack("<HHBIII", 0x5455, 13, 7, 1600000000, 1600000500, 1500000000)
UT_MTIME = struct.pack("<HHBI", 0x5455, 5, 1, 1234567890)
TEXT = b"Halvane lobby " * 6


def http_text():
    return {
        "imf_date": b"Wed, 21 Oct 2015 07:28:00 GMT",
        "rfc850_date": b"Sunday, 06-Nov-94 08:49:37 GMT",
        "asctime_date": b"Sun Nov  6 08:49:37 1994",
        "content_range": b"bytes 1048576-2097151/300000000",
        "content_range_star": b"bytes 0-0/*",
        "content_length": b"  18446744073709551615 ",
        "host_port": b"127.0.0.1:18080",
        "location_http": b"http://Download.example.com:8080/pkg/zel_lobby.zip?x=1",
        "location_path": b"/mirror/zel_lobby.zip",
    }


def entry_name():
    wide = lambda unit: b"\xff" + struct.pack("<H", unit)  # noqa: E731
    return {
        "plain": b"res/skin/main.png",
        "up": b"a/../../b\\..\\c",
        "drive": b"C:\\Windows\\System32\\x.dll",
        "long_prefix": b"\\\\?\\UNC\\host\\share\\x",
        "device": b"data/COM1.log",
        "superscript_device": b"LPT" + wide(0xB9) + b".txt",
        "trailing": b"sub. /name ",
        "chinese": wide(0x5927) + wide(0x5385) + b"/" + wide(0x6E38) + b".txt",
        "ut_block": struct.pack("<HH", 0xCAFE, 2) + b"xx" + UT_ALL,
    }


def percent_encode():
    return {
        "outcome": b"D:\\My Games\\|1792|attr:16",
        "chinese": "D:\\游戏\\|0|attr:0|create:0|errid:0|size:0".encode("utf-8"),
        "all_bytes": bytes(range(256)),
    }


def zip_reading():
    E, build = zf.Entry, zf.build
    stored = E("readme.txt", TEXT, method=0, local_extra=UT_ALL)
    text = E("res/skin.txt", TEXT, host=3, external=0o100644 << 16, local_extra=UT_MTIME)
    folder = E("res/", b"", method=0, host=3, external=(0o40755 << 16) | 0x10)
    flipped = bytearray(TEXT)
    flipped[5] ^= 1
    body = build([stored])
    return {
        "stored_ut": body,
        "prefixed_comment": b"MZ stub " + build([E("a.txt", b"a\n")], comment=b"lobby package"),
        "folder_and_files": build([folder, text, E("res/empty.txt", b"")]),
        "zip64": build([E("z64/a.txt", TEXT, zip64=True), E("z64/b.bin", b"b", method=0, zip64=True)], zip64=True),
        "utf8_names": build([E("大厅/游戏.txt", b"utf8\n", flag=0x800), E("大厅/x.txt".encode("gbk"), b"gbk\n")]),
        "hostile_names": build([E("../../outside.txt", b"x"), E("C:\\x\\CON.txt", b"y"), E("a\\..\\b", b"z")]),
        "bad_crc": build([E("bad.txt", TEXT, method=0, payload=bytes(flipped))]),
        "deflate_short": build([E("short.txt", TEXT, payload=zf.compress(TEXT[:20]))]),
        "descriptor": build([E("late.txt", TEXT, flag=8, local=dict(crc=0, comp_size=0, unc_size=0))]),
        "local_mismatch": build([E("entry.txt", TEXT, local=dict(method=0))]),
        "encrypted": build([zf.encrypted_entry("secret.txt", b"secret\n", b"pw")]),
        "truncated": body[: len(body) - 30],
    }


def main():
    seeds = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "seeds")
    for target, files in (("fuzz_http_text", http_text()), ("fuzz_entry_name", entry_name()),
                          ("fuzz_percent_encode", percent_encode()), ("fuzz_zip_reading", zip_reading())):
        folder = os.path.join(seeds, target)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name, data in files.items():
            assert len(data) <= 1024, (target, name, len(data))
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
