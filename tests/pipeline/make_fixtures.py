#!/usr/bin/env python3
"""Packages for the install pipeline's tests, written at test time.

    make_fixtures.py OUT_DIR LOBBY_EXE

package.zip   the sample package (about 3 MiB), with package.manifest: one line per file,
              "<path below the top folder>\t<size>\t<crc32 hex>"
damaged.zip   the same package with one byte of a deflated entry's data flipped
many.zip      the sample package with 1500 more small files, for pausing an extraction
"""
import os
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from make_package import TOP, write_package  # noqa: E402


def manifest(archive_path, out_path):
    with zipfile.ZipFile(archive_path) as archive, open(out_path, "w", encoding="utf-8", newline="\n") as out:
        for info in archive.infolist():
            if info.is_dir():
                continue
            name = info.filename[len(TOP):].replace("/", "\\")
            out.write(f"{name}\t{info.file_size}\t{info.CRC:08x}\n")


def damage(source, target, entry_name):
    data = bytearray(open(source, "rb").read())
    with zipfile.ZipFile(source) as archive:
        info = archive.getinfo(entry_name)
    local = info.header_offset
    name_length = int.from_bytes(data[local + 26:local + 28], "little")
    extra_length = int.from_bytes(data[local + 28:local + 30], "little")
    at = local + 30 + name_length + extra_length + info.compress_size // 2
    data[at] ^= 0x5A
    open(target, "wb").write(bytes(data))


def main():
    out, lobby = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    package = os.path.join(out, "package.zip")
    write_package(lobby, package, data_mb=3)
    manifest(package, os.path.join(out, "package.manifest"))
    damage(package, os.path.join(out, "damaged.zip"), TOP + "data/pack02.dat")
    many = os.path.join(out, "many.zip")
    write_package(lobby, many, data_mb=0.5, small_files=1500)
    manifest(many, os.path.join(out, "many.manifest"))


if __name__ == "__main__":
    main()
