#!/usr/bin/env python3
"""Writes a sample lobby package: a zip whose files lie under the top folder "Halvane/".

    make_package.py LOBBY_EXE OUT_ZIP [--data-mb N] [--seed S]

It holds the given lobby.exe, a readme, a folder of data files (half random, half
compressible text, about N MiB in all) and a file with a Chinese name (stored as UTF-8).
The same seed gives the same bytes.
"""
import argparse
import random
import zipfile

TOP = "Halvane/"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lobby")
    parser.add_argument("out")
    parser.add_argument("--data-mb", type=float, default=4.0)
    parser.add_argument("--seed", type=int, default=16)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    total = int(args.data_mb * 1024 * 1024)
    with zipfile.ZipFile(args.out, "w", compression=zipfile.ZIP_DEFLATED) as archive:
        archive.write(args.lobby, TOP + "lobby.exe")
        archive.writestr(TOP + "readme.txt", "Halvane lobby sample package\r\n")
        archive.writestr(TOP + "data/", b"")
        count = 8
        for index in range(count):
            size = total // count
            if index % 2:
                data = rng.randbytes(size)
            else:
                line = b"Halvane lobby data line %d\r\n" % index
                data = (line * (size // len(line) + 1))[:size]
            archive.writestr(TOP + "data/pack%02d.dat" % index, data)
        archive.writestr(TOP + "资源/说明.txt", "欢迎使用\r\n".encode("utf-8"))


if __name__ == "__main__":
    main()
