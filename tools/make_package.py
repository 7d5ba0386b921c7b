#!/usr/bin/env python3
"""Writes a sample lobby package: a zip whose files lie under the top folder "Halvane/".

    make_package.py LOBBY_EXE OUT_ZIP [--data-mb N] [--small-files N] [--seed S]

It holds a readme, a folder of data files (half random, half compressible text, about N
MiB in all), N small files, a file with a Chinese name (stored as UTF-8) and, last, the
given lobby.exe. The same arguments give the same bytes.
"""
import argparse
import random
import zipfile

TOP = "Halvane/"
FIXED_TIME = (2026, 12, 1, 8, 30, 0)


def add(archive, name, data):
    info = zipfile.ZipInfo(name, FIXED_TIME)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def write_package(lobby, out, data_mb=4.0, small_files=0, seed=16):
    rng = random.Random(seed)
    total = int(data_mb * 1024 * 1024)
    with zipfile.ZipFile(out, "w") as archive:
        add(archive, TOP + "readme.txt", "Halvane lobby sample package\r\n")
        count = 8
        for index in range(count):
            size = total // count
            if index % 2:
                data = rng.randbytes(size)
            else:
                line = b"Halvane lobby data line %d\r\n" % index
                data = (line * (size // len(line) + 1))[:size]
            add(archive, TOP + "data/pack%02d.dat" % index, data)
        for index in range(small_files):
            add(archive, TOP + "small/%04d.txt" % index, b"small file %d\r\n" % index)
        add(archive, TOP + "资源/说明.txt", "欢迎使用\r\n".encode("utf-8"))
        with open(lobby, "rb") as source:
            add(archive, TOP + "lobby.exe", source.read())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lobby")
    parser.add_argument("out")
    parser.add_argument("--data-mb", type=float, default=4.0)
    parser.add_argument("--small-files", type=int, default=0)
    parser.add_argument("--seed", type=int, default=16)
    args = parser.parse_args()
    write_package(args.lobby, args.out, args.data_mb, args.small_files, args.seed)


if __name__ == "__main__":
    main()
