#!/usr/bin/env python3
"""Measures the report page of a comparison with 1,000,000 differences.

    report_page.py VESTIGA [WORKDIR]

Writes two dumps by hand, the same every time: a Windows program folder and
its registry key, 1,000,000 paths created, deleted or modified between them
(one in twelve a directory, 3 to 10 levels deep, names of 4 to 24
characters). Then runs `VESTIGA -compare old.dat new.dat -html r.html` five
times and opens the page five times in headless Chromium, and prints the
section of docs/benchmarks.md: the page's size, the time to write it (the
run with the page less the run without), the time until the page has drawn
its tree, and the times of a search through every path and of opening
closed nodes.
"""
import os
import random
import statistics
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import chromium  # noqa: E402

ALPHABET = "abcdefghijklmnopqrstuvwxyz0123456789_- "
EXTENSIONS = [".dll", ".exe", ".xml", ".dat", ".png", ".json", ".mui", ".txt", ""]
RUNS = 5


def name(rng, extension=""):
    length = min(24, max(4, int(rng.gauss(11, 5))))
    return "".join(rng.choice(ALPHABET) for _ in range(max(1, length - len(extension)))).strip() + extension


def paths(count, seed):
    """`count` distinct paths below one program folder and one registry key."""
    rng = random.Random(seed)
    roots = ["C:\\Program Files\\Vendor Office\\root", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Office\\16.0"]
    directories = [[root] for root in roots]
    made = set()
    while len(made) < count:
        tree = 0 if rng.random() < 0.8 else 1
        parent = rng.choice(directories[tree][-2000:])
        if parent.count("\\") < 10 and rng.randrange(12) == 0:
            path = parent + "\\" + name(rng)
            directories[tree].append(path)
        else:
            path = parent + "\\" + name(rng, rng.choice(EXTENSIONS) if tree == 0 else "")
        made.add(path)
    return sorted(made)


def dump(entries):
    return b"".join(struct.pack("<I", len(p)) + p + struct.pack("<Q", f) for p, f in entries)


def make_dumps(work):
    old_dat, new_dat = os.path.join(work, "old.dat"), os.path.join(work, "new.dat")
    if os.path.exists(new_dat):
        return old_dat, new_dat
    every = [p.encode() for p in paths(1_200_000, 21)]
    # Of 1,200,000 paths: 200,000 in both and unchanged, 300,000 in both and
    # modified, 300,000 deleted, 400,000 created.
    rng = random.Random(5)
    rng.shuffle(every)
    same, modified, deleted, created = every[:200_000], every[200_000:500_000], every[500_000:800_000], every[800_000:]
    time_old, time_new = 133_000_000_000_000_000, 133_500_000_000_000_000
    with open(old_dat, "wb") as f:
        f.write(dump(sorted([(p, time_old) for p in same + modified + deleted])))
    with open(new_dat, "wb") as f:
        f.write(dump(sorted([(p, time_old) for p in same] + [(p, time_new) for p in modified + created])))
    return old_dat, new_dat


def wall(argv, cwd):
    start = time.monotonic()
    subprocess.run(argv, cwd=cwd, stdout=subprocess.DEVNULL, check=True)
    return time.monotonic() - start


def main():
    vestiga = os.path.abspath(sys.argv[1])
    work = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "build/bench-cache/report-page")
    os.makedirs(work, exist_ok=True)
    old_dat, new_dat = make_dumps(work)
    page = os.path.join(work, "r.html")
    without, with_page = [], []
    for _ in range(RUNS):
        without.append(wall([vestiga, "-compare", old_dat, new_dat], work))
        with_page.append(wall([vestiga, "-compare", old_dat, new_dat, "-html", page], work))
    opened, searched, expanded, rows = [], [], [], []
    browser = chromium.Browser(timeout=300)
    try:
        for _ in range(RUNS):
            opened.append(browser.open(page))
            rows.append(browser.evaluate("document.querySelectorAll('#tree .row').length"))
            start = time.monotonic()
            browser.evaluate("document.getElementById('search').value = 'qq';"
                             "document.getElementById('controls').requestSubmit()")
            searched.append(time.monotonic() - start)
            browser.evaluate("document.getElementById('search').value = '';"
                             "document.getElementById('controls').requestSubmit()")
            for _ in range(6):
                start = time.monotonic()
                browser.evaluate("document.querySelector('#tree li[aria-expanded=false] > .row').click()")
                expanded.append(time.monotonic() - start)
            rows.append(browser.evaluate("document.querySelectorAll('#tree .row').length"))
        heap = browser.evaluate("performance.memory ? performance.memory.usedJSHeapSize : 0")
        nodes = browser.evaluate("document.querySelectorAll('*').length")
    finally:
        browser.close()
    counts = subprocess.run([vestiga, "-compare", old_dat, new_dat], cwd=work, capture_output=True).stdout
    lines = [line for line in counts.split(b"\n") if line[:4] in (b"CRE ", b"DEL ", b"MOD ")]
    differences = len(lines)
    path_bytes = sum(len(line) - 4 for line in lines)
    size = os.path.getsize(page)
    print("## 6. The report page\n")
    print("Written by `scripts/bench/report_page.py` (%s UTC), not by `scripts/bench.sh`: two generated dumps "
          "of a Windows program folder and its registry key with %d differences between them. Medians of %d runs "
          "after no warm-up; the optimised native program (`--preset release`) and Debian's Chromium, headless. "
          "Load average at the end: %s.\n"
          % (time.strftime("%Y-%m-%d %H:%M", time.gmtime()), differences, RUNS,
             " ".join("%.2f" % x for x in os.getloadavg())))
    print("| measure | value |\n|---|---:|")
    print("| the paths of the differences, one after the other | %.1f MiB |" % (path_bytes / 1048576.0))
    print("| page size | %.1f MiB |" % (size / 1048576.0))
    print("| `-compare` without `-html` | %.3f s |" % statistics.median(without))
    print("| `-compare` with `-html` | %.3f s |" % statistics.median(with_page))
    print("| writing the page (the difference) | %.3f s |" % (statistics.median(with_page) - statistics.median(without)))
    print("| opening the page until the tree is drawn | %.3f s |" % statistics.median(opened))
    print("| rows in the page once opened | %d |" % rows[0])
    print("| elements in the page at the end | %d |" % nodes)
    print("| script heap after the runs | %.0f MiB |" % (heap / 1048576.0))
    print("| a search through every path (`qq`) | %.3f s |" % statistics.median(searched))
    print("| opening a closed node, six down the tree (median, slowest) | %.3f s, %.3f s |"
          % (statistics.median(expanded), max(expanded)))
    print("| rows in the page after opening those six | %d |" % rows[-1])


if __name__ == "__main__":
    main()
