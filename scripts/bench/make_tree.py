#!/usr/bin/env python3
"""Generates a directory tree of a given number of entries, the same every time.

    make_tree.py DIR [ENTRIES]

DIR itself counts as one entry. About one entry in twelve is a directory; the
tree is 3 to 10 levels deep, most files sit 4 to 7 levels down, and names are
4 to 24 characters long, files with a usual extension. Files are empty: a
dump reads no content. A file DIR.done marks a finished tree, so a second run
with the same size does nothing.
"""
import os
import random
import sys

EXTENSIONS = [".c", ".h", ".cpp", ".txt", ".so", ".png", ".py", ".json", ".html", ".md", ".gz", ".xml", ""]
ALPHABET = "abcdefghijklmnopqrstuvwxyz0123456789_-"
DIRECTORY_SHARE = 12
MAX_DEPTH = 10


def make_name(rng, taken, extension):
    while True:
        length = min(24, max(4, int(rng.gauss(11, 5))))
        stem = "".join(rng.choice(ALPHABET) for _ in range(max(1, length - len(extension))))
        name = stem + extension
        if name not in taken:
            taken.add(name)
            return name


def plan(entries, seed=20261208):
    """Directories as (depth, path) and the number of files in each, in creation order."""
    rng = random.Random(seed)
    directories = [(0, "")]
    names = [set()]
    wanted_directories = max(1, entries // DIRECTORY_SHARE)
    while len(directories) < wanted_directories:
        # Parents are drawn with a bias towards the middle depths.
        parent = rng.randrange(len(directories))
        depth, path = directories[parent]
        if depth >= MAX_DEPTH - 1 or (depth >= 6 and rng.random() < 0.6):
            continue
        name = make_name(rng, names[parent], "")
        directories.append((depth + 1, path + "/" + name))
        names.append(set())
    files = entries - len(directories)
    weights = [1 + d if d <= 6 else 2 for d, _ in directories]
    counts = [0] * len(directories)
    for index in rng.choices(range(len(directories)), weights=weights, k=files):
        counts[index] += 1
    file_names = []
    for index, count in enumerate(counts):
        taken = names[index]
        file_names.append([make_name(rng, taken, rng.choice(EXTENSIONS)) for _ in range(count)])
    return directories, file_names


def main():
    root = os.path.abspath(sys.argv[1])
    entries = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    marker = root + ".done"
    if os.path.exists(marker) and open(marker).read().strip() == str(entries):
        return
    if os.path.exists(root):
        raise SystemExit("%s exists but is not a finished tree of %d entries; remove it first" % (root, entries))
    directories, file_names = plan(entries)
    for _, path in directories:
        os.mkdir(root + path)
    for (_, path), names in zip(directories, file_names):
        for name in names:
            os.close(os.open(root + path + "/" + name, os.O_CREAT | os.O_WRONLY, 0o644))
    with open(marker, "w") as out:
        out.write("%d\n" % entries)


if __name__ == "__main__":
    main()
