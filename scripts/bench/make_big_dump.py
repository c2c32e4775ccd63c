#!/usr/bin/env python3
"""Writes a plain dump of ENTRIES records, the same every time.

    make_big_dump.py ENTRIES FILE VARIANT

Paths are /data/archive-2026/volume-NNNN/project-files/subdirectory-of-sources/file-NNNNN.bin,
95 bytes a record; 25,000,000 records make 2.375 GB. Variant 0 is sorted by path.
Variant 1 changes the fingerprint of every hundredth record, for a compare.
Variant 2 holds the records of variant 0 in a shuffled order (a fixed seed), for
a reader that cannot take the dump as a sorted stream. The file is written in
blocks of 2 MiB, as the program writes its dumps, so that the system caches
it in pages of that size as it does a dump of the program's.
"""
import random
import struct
import sys

SHUFFLE_SEED = 20261210
BLOCK = 2 << 20


def main():
    entries, out, variant = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    if variant not in (0, 1, 2):
        raise SystemExit("variant must be 0, 1 or 2")
    order = range(entries)
    if variant == 2:
        order = list(order)
        random.Random(SHUFFLE_SEED).shuffle(order)
    with open(out, "wb", buffering=0) as f:
        pending = bytearray()

        def write(records, last=False):
            pending.extend(b"".join(records))
            whole = len(pending) if last else len(pending) - len(pending) % BLOCK
            for at in range(0, whole, BLOCK):
                f.write(pending[at:min(at + BLOCK, whole)])
            del pending[:whole]

        block = []
        for i in order:
            volume, number = divmod(i, 10000)
            path = b"/data/archive-2026/volume-%04d/project-files/subdirectory-of-sources/file-%05d.bin" % (
                volume, number)
            fingerprint = i * 7 + (1 if variant == 1 and i % 100 == 0 else 0)
            block.append(struct.pack("<I", len(path)) + path + struct.pack("<Q", fingerprint))
            if len(block) >= 100000:
                write(block)
                block = []
        write(block, last=True)


if __name__ == "__main__":
    main()
