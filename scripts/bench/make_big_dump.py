#!/usr/bin/env python3
"""Writes a sorted plain dump of ENTRIES records, the same every time.

    make_big_dump.py ENTRIES FILE VARIANT

Paths are /data/archive-2026/volume-NNNN/project-files/subdirectory-of-sources/file-NNNNN.bin,
95 bytes a record; 25,000,000 records make 2.375 GB. Variant 1 changes the
fingerprint of every hundredth record, for a compare.
"""
import struct
import sys


def main():
    entries, out, variant = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    with open(out, "wb", buffering=1 << 24) as f:
        block = []
        for i in range(entries):
            volume, number = divmod(i, 10000)
            path = b"/data/archive-2026/volume-%04d/project-files/subdirectory-of-sources/file-%05d.bin" % (
                volume, number)
            fingerprint = i * 7 + (1 if variant and i % 100 == 0 else 0)
            block.append(struct.pack("<I", len(path)) + path + struct.pack("<Q", fingerprint))
            if len(block) >= 100000:
                f.write(b"".join(block))
                block = []
        f.write(b"".join(block))


if __name__ == "__main__":
    main()
