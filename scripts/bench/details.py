#!/usr/bin/env python3
"""Measures what -details costs: dumps of a tree plain and detailed, their
sizes, and compares of two plain and two detailed dumps of a large tree.

    details.py PROGRAM SMALL_TREE LARGE_TREE [ROUNDS]

PROGRAM is the optimised program (cmake --preset release); SMALL_TREE is
dumped plain and detailed in turns (/usr, say); LARGE_TREE (made by
make_tree.py) is dumped twice each way, with one file in a hundred touched
in between, and the two pairs compared in turns; then the same files'
last-write times are moved a second on, which the plain dumps see as well,
and the pairs before and after that are compared in turns. Prints a Markdown
table of medians of wall time.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time


def timed(command):
    start = time.monotonic()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return time.monotonic() - start


def alternate(commands, rounds):
    times = [[] for _ in commands]
    for _ in range(rounds):
        for i, command in enumerate(commands):
            times[i].append(timed(command))
    return [statistics.median(t) for t in times]


def touch_some(tree, change):
    count = 0
    for root, _, files in os.walk(tree):
        for name in files:
            count += 1
            if count % 100 == 0:
                change(os.path.join(root, name))
    return count // 100


def later(path):
    status = os.stat(path)
    os.utime(path, ns=(status.st_atime_ns, status.st_mtime_ns + 1000000000))


def main():
    program, small, large = sys.argv[1:4]
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    work = tempfile.mkdtemp(prefix="details-bench-")
    d = lambda name: os.path.join(work, name)
    plain, detailed = alternate([[program, "-dump", d("p.dat"), "-dirs", small],
                                 [program, "-dump", d("d.dat"), "-dirs", small, "-details"]], rounds)
    plain_size, detailed_size = os.path.getsize(d("p.dat")), os.path.getsize(d("d.dat"))

    for name, extra in (("p1.dat", []), ("d1.dat", ["-details"])):
        subprocess.run([program, "-dump", d(name), "-dirs", large] + extra, stdout=subprocess.DEVNULL, check=True)
    touched = touch_some(large, lambda path: os.chmod(path, 0o600))
    for name, extra in (("p2.dat", []), ("d2.dat", ["-details"])):
        subprocess.run([program, "-dump", d(name), "-dirs", large] + extra, stdout=subprocess.DEVNULL, check=True)
    plain_compare, detailed_compare = alternate([[program, "-compare", d("p1.dat"), d("p2.dat")],
                                                 [program, "-compare", d("d1.dat"), d("d2.dat")]], rounds)
    touch_some(large, later)
    for name, extra in (("p3.dat", []), ("d3.dat", ["-details"])):
        subprocess.run([program, "-dump", d(name), "-dirs", large] + extra, stdout=subprocess.DEVNULL, check=True)
    plain_later, detailed_later = alternate([[program, "-compare", d("p2.dat"), d("p3.dat")],
                                             [program, "-compare", d("d2.dat"), d("d3.dat")]], rounds)
    print("| measure | plain | detailed | ratio |")
    print("|---|---:|---:|---:|")
    print("| dump of %s | %.3f s | %.3f s | %.2f |" % (small, plain, detailed, detailed / plain))
    print("| its file | %d bytes | %d bytes | %.2f |" % (plain_size, detailed_size, detailed_size / plain_size))
    print("| compare of two dumps of %s (%d files chmod-ed between) | %.3f s | %.3f s | %.2f |"
          % (large, touched, plain_compare, detailed_compare, detailed_compare / plain_compare))
    print("| compare of two dumps of %s (the same files' last-write times moved between) | %.3f s | %.3f s | %.2f |"
          % (large, plain_later, detailed_later, detailed_later / plain_later))
    print("| the large dump's file | %d bytes | %d bytes | %.2f |"
          % (os.path.getsize(d("p1.dat")), os.path.getsize(d("d1.dat")),
             os.path.getsize(d("d1.dat")) / os.path.getsize(d("p1.dat"))))
    for name in os.listdir(work):
        os.unlink(d(name))
    os.rmdir(work)


if __name__ == "__main__":
    main()
