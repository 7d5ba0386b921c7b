#!/usr/bin/env python3
"""Writes the archives the extraction tests unpack.

usage: make_zip_fixtures.py OUT_DIR ROOT_WINDOWS_PATH

Ordinary archives come from zipfile; hostile and damaged ones are written byte by byte,
since zipfile refuses to write most of them. OUT_DIR/hostile/cases.tsv lists the hostile
archives with the result each must give (file, code, relative path or "-", label).
ROOT_WINDOWS_PATH is the test root as the program under test sees it, so that absolute
names can aim straight at it. INSTALLER_LARGE_TESTS=1 adds an entry beyond 4 GiB.
"""

import io
import os
import struct
import sys
import zipfile
import zlib

UNSAFE = 8192
TOO_LONG = 16384

DOS_DATE = ((2021 - 1980) << 9) | (6 << 5) | 15  # 2021-06-15
DOS_TIME = (10 << 11) | (20 << 5) | (30 // 2)  # 10:20:30


def pattern(size, seed):
    """Bytes the C++ tests regenerate (tests/install/ExtractFixtures.h)."""
    return bytes(((i * 31 + seed * 17 + (i >> 8)) & 0xFF) for i in range(size))


# ---------------------------------------------------------------------------------------
# Byte-level writer


class Entry:
    def __init__(self, name, data=b"", *, method=8, flag=0, host=0, external=0x20, dos_date=DOS_DATE,
                 dos_time=DOS_TIME, local_extra=b"", central_extra=b"", payload=None, crc=None,
                 comp_size=None, unc_size=None, local=None, zip64=False):
        self.name = name.encode("utf-8") if isinstance(name, str) else name
        self.data = data
        self.method = method
        self.flag = flag
        self.host = host
        self.external = external
        self.dos_date = dos_date
        self.dos_time = dos_time
        self.local_extra = local_extra
        self.central_extra = central_extra
        if payload is None:
            payload = compress(data) if method == 8 else data
        self.payload = payload
        self.crc = zlib.crc32(data) if crc is None else crc
        self.comp_size = len(payload) if comp_size is None else comp_size
        self.unc_size = len(data) if unc_size is None else unc_size
        self.local = local or {}  # local header fields that disagree with the directory
        self.zip64 = zip64


def compress(data):
    c = zlib.compressobj(6, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def local_header(e):
    lo = e.local
    name = lo.get("name", e.name)
    extra = e.local_extra
    comp, unc = lo.get("comp_size", e.comp_size), lo.get("unc_size", e.unc_size)
    if e.zip64:
        extra = struct.pack("<HHQQ", 1, 16, unc, comp) + extra
        comp = unc = 0xFFFFFFFF
    return struct.pack("<IHHHHHIIIHH", lo.get("signature", 0x04034B50), 45 if e.zip64 else 20,
                       lo.get("flag", e.flag), lo.get("method", e.method), e.dos_time, e.dos_date,
                       lo.get("crc", e.crc), comp, unc, lo.get("name_length", len(name)),
                       lo.get("extra_length", len(extra))) + name + extra


def central_record(e, offset):
    extra = e.central_extra
    comp, unc, off = e.comp_size, e.unc_size, offset
    if e.zip64:
        extra = struct.pack("<HHQQQ", 1, 24, unc, comp, offset) + extra
        comp = unc = off = 0xFFFFFFFF
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, (e.host << 8) | 20, 45 if e.zip64 else 20, e.flag,
                       e.method, e.dos_time, e.dos_date, e.crc, comp, unc, len(e.name), len(extra), 0, 0, 0,
                       e.external, off) + e.name + extra


def end_records(count, cd_offset, cd_size, comment=b"", zip64=False):
    out = b""
    if zip64:
        eocd64_offset = cd_offset + cd_size
        out += struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, count, count, cd_size, cd_offset)
        out += struct.pack("<IIQI", 0x07064B50, 0, eocd64_offset, 1)
        return out + struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                                 len(comment)) + comment
    return struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, cd_size, cd_offset, len(comment)) + comment


def build(entries, comment=b"", zip64=False):
    body, offsets = b"", []
    for e in entries:
        offsets.append(len(body))
        body += local_header(e) + e.payload
    cd = b"".join(central_record(e, o) for e, o in zip(entries, offsets))
    return body + cd + end_records(len(entries), len(body), len(cd), comment, zip64)


def build_with_local_in_comment(entry, tail):
    """An archive whose only local header sits in the end record's comment, followed by
    just `tail`: whatever the header announces beyond that lies past the end of the file."""
    record_length = len(central_record(entry, 0))
    cd = central_record(entry, record_length + 22)  # the comment starts after the end record
    return cd + end_records(1, 0, len(cd), local_header(entry) + tail)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------------------
# Traditional PKWARE encryption: a real encrypted entry (zipfile can read it back)

CRC_TABLE = []
for i in range(256):
    c = i
    for _ in range(8):
        c = (c >> 1) ^ 0xEDB88320 if c & 1 else c >> 1
    CRC_TABLE.append(c)


class ZipCrypto:
    def __init__(self, password):
        self.keys = [0x12345678, 0x23456789, 0x34567890]
        for b in password:
            self.update(b)

    def update(self, b):
        k = self.keys
        k[0] = CRC_TABLE[(k[0] ^ b) & 0xFF] ^ (k[0] >> 8)
        k[1] = ((k[1] + (k[0] & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        k[2] = CRC_TABLE[(k[2] ^ (k[1] >> 24)) & 0xFF] ^ (k[2] >> 8)

    def encrypt(self, data):
        out = bytearray()
        for b in data:
            t = (self.keys[2] | 2) & 0xFFFF
            out.append(b ^ (((t * (t ^ 1)) >> 8) & 0xFF))
            self.update(b)
        return bytes(out)


def encrypted_entry(name, data, password):
    header = bytes(range(1, 12)) + bytes([zlib.crc32(data) >> 24])
    return Entry(name, data, flag=1, payload=ZipCrypto(password).encrypt(header + compress(data)))


# ---------------------------------------------------------------------------------------


def zipfile_archive(path, members, comment=b""):
    """members: (name, data, method, host, external) tuples; a name ending in '/' is a folder."""
    with zipfile.ZipFile(path, "w") as z:
        z.comment = comment
        for name, data, method, host, external in members:
            info = zipfile.ZipInfo(name, date_time=(2021, 6, 15, 10, 20, 30))
            info.compress_type = method
            info.create_system = host
            info.external_attr = external
            z.writestr(info, data)


def ordinary(out):
    zipfile_archive(f"{out}/empty.zip", [])
    zipfile_archive(f"{out}/empty_comment.zip", [], comment=b"nothing inside")
    zipfile_archive(f"{out}/implied.zip", [("a/b/c.txt", b"implied folders\n", zipfile.ZIP_DEFLATED, 0, 0x20)])
    zipfile_archive(f"{out}/direntry.zip", [("d/", b"", zipfile.ZIP_STORED, 3, (0o40755 << 16) | 0x10)])
    zipfile_archive(f"{out}/zerolen.zip", [("empty_deflated.txt", b"", zipfile.ZIP_DEFLATED, 0, 0x20),
                                           ("empty_stored.txt", b"", zipfile.ZIP_STORED, 0, 0x20)])
    zipfile_archive(f"{out}/mixed.zip", [
        ("lobby.exe", pattern(100000, 1), zipfile.ZIP_DEFLATED, 0, 0x20),
        ("res/", b"", zipfile.ZIP_STORED, 0, 0x10),
        ("res/skin.png", pattern(5000, 2), zipfile.ZIP_STORED, 0, 0x20),
        ("data/sub/x.bin", pattern(40000, 3), zipfile.ZIP_DEFLATED, 3, 0o100644 << 16),
        ("readme.txt", b"Halvane lobby\r\n", zipfile.ZIP_DEFLATED, 0, 0x20),
    ])
    zipfile_archive(f"{out}/inway.zip", [("lobby.exe", b"new lobby\n", zipfile.ZIP_DEFLATED, 0, 0x20)])
    zipfile_archive(f"{out}/inway_hidden.zip", [("lobby.exe", b"new lobby\n", zipfile.ZIP_DEFLATED, 0, 0x22)])
    zipfile_archive(f"{out}/attrs.zip", [
        ("h0_readonly.txt", b"x", zipfile.ZIP_DEFLATED, 0, 0x21),
        ("h0_hidden.txt", b"x", zipfile.ZIP_DEFLATED, 0, 0x22),
        ("h0_system.txt", b"x", zipfile.ZIP_DEFLATED, 0, 0x24),
        ("h11_hidden_readonly.txt", b"x", zipfile.ZIP_DEFLATED, 11, 0x23),
        ("h3_writable.txt", b"x", zipfile.ZIP_DEFLATED, 3, 0o100644 << 16),
        ("h3_readonly.txt", b"x", zipfile.ZIP_DEFLATED, 3, 0o100444 << 16),
        ("h19_readonly.txt", b"x", zipfile.ZIP_DEFLATED, 19, 0o100400 << 16),
        ("h3_folder/", b"", zipfile.ZIP_STORED, 3, (0o40755 << 16) | 0x10),
        ("h0_folder_without_slash", b"", zipfile.ZIP_STORED, 0, 0x10),
    ])
    ut_all = struct.pack("<HHBIII", 0x5455, 13, 7, 1600000000, 1600000500, 1500000000)
    ut_mtime = struct.pack("<HHBI", 0x5455, 5, 1, 1234567890)
    big_block = struct.pack("<HH", 0xCAFE, 300) + b"U" * 300
    write(f"{out}/times.zip", build([
        Entry("dos.txt", b"dos time\n"),
        Entry("ut.txt", b"unix times\n", local_extra=ut_all, central_extra=struct.pack("<HHBI", 0x5455, 5, 7,
                                                                                         1600000000)),
        Entry("ut_mtime.txt", b"unix mtime\n", local_extra=ut_mtime),
        Entry("ut_behind.txt", b"behind\n", local_extra=big_block + struct.pack("<HHBI", 0x5455, 5, 1, 1300000000)),
    ]))
    write(f"{out}/zip64.zip", build([
        Entry("z64/a.txt", pattern(70000, 4), zip64=True),
        Entry("z64/b.bin", pattern(3000, 5), method=0, zip64=True),
    ], zip64=True))
    # GBK names (no UTF-8 flag): 大厅/游戏.txt, and a character whose trail byte is 0x5C
    # ('\') inside a file name and in front of "..\..\".
    trail = "\u4e57".encode("gbk")  # 0x81 0x5C
    assert trail[1] == 0x5C, trail
    write(f"{out}/gbk.zip", build([
        Entry("大厅/游戏.txt".encode("gbk"), b"gbk\n"),
        Entry(trail + b"x.txt", b"one name\n"),
        Entry(b"dir" + trail + b"..\\..\\inside.txt", b"aware\n"),
    ]))
    write(f"{out}/utf8.zip", build([
        Entry("한국어/파일.txt", b"utf8\n", flag=0x800),
        Entry("emoji_😀.txt", b"astral\n", flag=0x800),
        Entry("大厅/ü.txt", b"mixed\n", flag=0x800),
    ]))
    write(f"{out}/cp1252.zip", build([Entry("caf\u00e9.txt".encode("cp1252"), b"latin\n")]))
    write(f"{out}/encrypted.zip", build([encrypted_entry("secret.txt", b"secret content\n", b"secret")]))
    with zipfile.ZipFile(f"{out}/encrypted.zip") as z:  # the writer above is checked by zipfile
        assert z.read("secret.txt", pwd=b"secret") == b"secret content\n"
    with zipfile.ZipFile(f"{out}/zip64.zip") as z:
        assert z.read("z64/a.txt") == pattern(70000, 4)


def damaged(out):
    text = b"a line that compresses well\n" * 400
    good, after = Entry("good.txt", b"good\n", method=0), Entry("after.txt", b"after\n")
    flipped = bytearray(b"stored data\n")
    flipped[3] ^= 0x01
    write(f"{out}/bad_crc_stored.zip", build([good, Entry("bad.txt", b"stored data\n", method=0,
                                                           payload=bytes(flipped)), after]))
    deflated = bytearray(compress(text))
    deflated[len(deflated) // 2] ^= 0x10
    write(f"{out}/bad_crc_deflated.zip", build([Entry("bad.txt", text, payload=bytes(deflated))]))
    whole = build([Entry("first.txt", pattern(20000, 6)), Entry("second.txt", pattern(20000, 7))])
    write(f"{out}/truncated_cut.zip", whole[: len(whole) * 6 // 10])
    # The directory is intact but the data it announces runs into the directory itself,
    # or past the end of the file.
    write(f"{out}/short_overlap.zip", build([Entry("short.txt", b"0123456789" * 10, method=0,
                                                   payload=b"0123456789")]))
    write(f"{out}/short_eof.zip", build_with_local_in_comment(
        Entry("short.txt", b"0123456789" * 100, method=0, payload=b"", comp_size=1000), b"0123456789"))
    write(f"{out}/zero_compressed.zip", build([Entry("short.txt", b"0123456789", method=0, payload=b"")]))
    write(f"{out}/deflate_ends_early.zip", build([Entry("short.txt", b"0123456789", payload=compress(b"01234"))]))
    entry = lambda **local: Entry("entry.txt", b"entry data\n", local=local)
    write(f"{out}/local_crc.zip", build([entry(crc=0x12345678)]))
    write(f"{out}/local_method.zip", build([entry(method=0)]))
    write(f"{out}/local_signature.zip", build([entry(signature=0x04034B51)]))
    write(f"{out}/local_name_length.zip", build([entry(name_length=3)]))
    write(f"{out}/local_sizes.zip", build([entry(unc_size=5)]))
    for method in (12, 14, 99):
        write(f"{out}/method_{method}.zip", build([Entry("entry.txt", b"entry data\n", method=method,
                                                          payload=b"opaque")]))
    write(f"{out}/local_extra_eof.zip", build_with_local_in_comment(
        Entry("entry.txt", b"", method=0, local=dict(extra_length=1000)), b"\x00" * 10))


def hostile(out, root):
    """(name, code, relative path inside the destination or None, extra Entry arguments)."""
    dest_parent = root + "\\l1\\l2\\l3"
    link = dict(host=3, external=0o120777 << 16, method=0)
    cases = [
        ("../outside.txt", UNSAFE, None, {}),
        ("..\\outside.txt", UNSAFE, None, {}),
        ("../../../../outside.txt", 0, "outside.txt", {}),  # each "/../" takes all before it along
        ("a/../../outside.txt", UNSAFE, None, {}),
        ("a\\..\\..\\outside.txt", UNSAFE, None, {}),
        ("a/..\\..\\outside.txt", 0, "outside.txt", {}),
        ("/../outside.txt", UNSAFE, None, {}),
        ("\\..\\sibling\\outside.txt", UNSAFE, None, {}),
        ("C:..\\outside.txt", UNSAFE, None, {}),
        ("C:\\..\\outside.txt", UNSAFE, None, {}),
        (root + "\\outside.txt", 0, root[3:] + "\\outside.txt", {}),
        (dest_parent + "\\outside.txt", 0, dest_parent[3:] + "\\outside.txt", {}),
        ("\\\\?\\" + root + "\\outside.txt", UNSAFE, None, {}),
        ("//?/" + root.replace("\\", "/") + "/outside.txt", UNSAFE, None, {}),
        ("\\\\?\\UNC\\localhost\\share\\outside.txt", UNSAFE, None, {}),
        ("\\\\localhost\\share\\outside.txt", 0, "localhost\\share\\outside.txt", {}),
        ("Z:/tmp/outside.txt", 0, "tmp\\outside.txt", {}),
        ("CON", UNSAFE, None, {}),
        ("nul.txt", UNSAFE, None, {}),
        ("a/COM1.log", UNSAFE, None, {}),
        ("lpt9", UNSAFE, None, {}),
        ("aux/x.txt", UNSAFE, None, {}),
        ("CON .txt", UNSAFE, None, {}),
        ("CONIN$", UNSAFE, None, {}),
        ("COM\u00b9.txt", UNSAFE, None, dict(flag=0x800)),
        ("outside.txt.", UNSAFE, None, {}),
        ("outside.txt ", UNSAFE, None, {}),
        ("sub./outside.txt", UNSAFE, None, {}),
        ("sub /outside.txt", UNSAFE, None, {}),
        ("lobby.exe:evil", UNSAFE, None, {}),
        ("lobby.exe::$DATA", UNSAFE, None, {}),
        ("...", UNSAFE, None, {}),
        ("..", UNSAFE, None, {}),
        ("../", UNSAFE, None, dict(external=0x10)),
        ("../evildir/", UNSAFE, None, dict(external=0x10)),
        ("a\x01b.txt", UNSAFE, None, {}),
        ("a*.txt", UNSAFE, None, {}),
        ("a\x00/../../outside.txt", UNSAFE, None, {}),
        ("x" * 300, TOO_LONG, None, {}),
        (("d" * 100 + "/") * 2 + "f" * 58, TOO_LONG, None, {}),
        ("p" * 120 + "/" + "q" * 119, TOO_LONG, None, {}),  # fits alone, not below the destination
        ("link", 0, "link", link),
        ("passwd_link", 0, "passwd_link", link),
    ]
    lines = []
    for i, (name, code, relative, extra) in enumerate(cases):
        data = b"../outside.txt" if name == "link" else b"/etc/passwd" if name == "passwd_link" else b"escaped\n"
        if name.endswith("/"):
            data = b""
        file = f"hostile_{i:02d}.zip"
        write(f"{out}/hostile/{file}", build([Entry(name, data, **extra)]))
        label = name.encode("unicode_escape").decode("ascii")[:80]
        lines.append(f"{file}\t{code}\t{relative or '-'}\t{data.hex()}\t{label}\n")
    with open(f"{out}/hostile/cases.tsv", "w", encoding="utf-8") as f:
        f.writelines(lines)


def large(out):
    """An entry of 4 GiB + 1 MiB of zeros: sizes beyond 32 bits, in a Zip64 archive."""
    path = f"{out}/large.zip"
    if os.path.exists(path):
        return
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=1) as z:
        with z.open("large.bin", "w", force_zip64=True) as f:
            block = bytes(1 << 20)
            for _ in range(4096 + 1):
                f.write(block)


def main():
    out, root = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    ordinary(out)
    damaged(out)
    hostile(out, root)
    if os.environ.get("INSTALLER_LARGE_TESTS") == "1":
        large(out)


if __name__ == "__main__":
    main()
