#!/usr/bin/env python3
"""Writes the extraction benchmark's package: about 300 MB in 5000 files spread over
nested folders, half text-like (compressible) and half random, all deflated, as a
package would be. Also writes ARCHIVE.list ("path<TAB>size" a line) for the bare
create-and-write loop. Deterministic for a given seed.

usage: make_extract_archive.py ARCHIVE [TOTAL_MB] [FILES]
"""

import math
import random
import sys
import zipfile


def main():
    archive = sys.argv[1]
    total = int(sys.argv[2]) * 1000 * 1000 if len(sys.argv) > 2 else 300 * 1000 * 1000
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 5000
    rng = random.Random(5000)

    # Sizes from a log-normal spread (a few large files, many small ones), scaled to the total.
    raw = [rng.lognormvariate(math.log(30000), 1.2) for _ in range(count)]
    scale = total / sum(raw)
    sizes = [max(1, int(s * scale)) for s in raw]

    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
             for _ in range(2000)]
    text = b" ".join(rng.choice(words) for _ in range(400000))  # about 2.4 MB to slice from

    lines = []
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for i, size in enumerate(sizes):
            folder = f"lobby/d{i % 40:02d}/s{i // 40 % 5}"
            name = f"{folder}/f{i:05d}.{'txt' if i % 2 == 0 else 'bin'}"
            if i % 2 == 0:
                start = rng.randrange(0, len(text) - 1)
                data = (text[start:] + text)[:size]
                while len(data) < size:
                    data += text[: size - len(data)]
            else:
                data = rng.randbytes(size)
            info = zipfile.ZipInfo(name, date_time=(2024, 5, 1, 12, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0x20
            z.writestr(info, data)
            lines.append(f"{name}\t{size}\n")
    with open(archive + ".list", "w", encoding="utf-8") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
