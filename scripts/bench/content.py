#!/usr/bin/env python3
"""Measures content dumps (-content) against the tools that hash files:

    content.py PROGRAM [TREE] [ROUNDS]

PROGRAM is the optimised program (cmake --preset release); TREE is /usr/share
unless given. Warm cache: every file of the tree is read once before each
round, then vestiga -content, vestiga -details, `find | xargs -0 -P2
sha256sum` and (once, it takes long, stopped after 300 s) `aide --init` with a SHA-256-only
rule run in turns. Cold cache: before each run the tree's file pages are dropped
from the page cache (POSIX_FADV_DONTNEED per file; the directories stay
cached), for vestiga -content and for `find | xargs -0 cat`. Prints a
Markdown table of medians of wall time with CPU time, peak memory and the
load average at the start of the last run.
"""
import os
import statistics
import subprocess
import sys
import tempfile

TIME = ["/usr/bin/time", "-f", "%e %U %S %M"]


def files_of(tree):
    for root, _, names in os.walk(tree):
        for name in names:
            path = os.path.join(root, name)
            if os.path.isfile(path) and not os.path.islink(path):
                yield path


def for_each_file(tree, act):
    for path in files_of(tree):
        try:
            descriptor = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
        except OSError:
            continue
        try:
            act(descriptor)
        finally:
            os.close(descriptor)


def warm(tree):
    def read_all(descriptor):
        while os.read(descriptor, 1 << 20):
            pass
    for_each_file(tree, read_all)


def cold(tree):
    os.sync()
    for_each_file(tree, lambda descriptor: os.posix_fadvise(descriptor, 0, 0, os.POSIX_FADV_DONTNEED))


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


AIDE_LIMIT = 300  # seconds


def timed(command):
    """Wall, user + system CPU, peak resident KiB and the load at the start;
    a command still running after AIDE_LIMIT seconds is stopped."""
    at = load()
    result = subprocess.run(TIME + ["timeout", str(AIDE_LIMIT), "sh", "-c", command + " >/dev/null 2>/dev/null"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    wall, user, system, peak = result.stderr.split()[-4:]
    if result.returncode == 124:
        wall = "inf"
    elif result.returncode != 0:
        raise RuntimeError("%s failed: %s" % (command, result.stderr))
    return float(wall), float(user), float(system), int(peak), at


def aide_config(path, tree, database):
    with open(path, "w") as out:
        out.write("database_in=file:/dev/null\ndatabase_out=file:%s\n" % database)
        out.write("gzip_dbout=no\nreport_url=stdout\nSHA = sha256\n%s SHA\n" % tree)
    return path


def row(name, runs):
    wall = statistics.median(run[0] for run in runs)
    user = statistics.median(run[1] for run in runs)
    system = statistics.median(run[2] for run in runs)
    peak = max(run[3] for run in runs) / 1024
    shown = "> %d s (stopped)" % AIDE_LIMIT if wall == float("inf") else "%.2f s" % wall
    return "| %s | %s (%d) | %.2f+%.2f s | %.1f MiB | %s |" % (name, shown, len(runs), user, system, peak,
                                                                runs[-1][4])


def main():
    program = os.path.abspath(sys.argv[1])
    tree = sys.argv[2] if len(sys.argv) > 2 else "/usr/share"
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    work = tempfile.mkdtemp(prefix="vestiga-content-")
    warm_tools = [
        ("`vestiga -dump -content`", "%s -dump %s/c.dat -dirs %s -content" % (program, work, tree)),
        ("`vestiga -dump -details`", "%s -dump %s/d.dat -dirs %s -details" % (program, work, tree)),
        ("`find -type f -print0 \\| xargs -0 -P2 sha256sum`",
         "find %s -type f -print0 | xargs -0 -P2 sha256sum" % tree),
    ]
    cold_tools = [
        ("`vestiga -dump -content`, cold", warm_tools[0][1]),
        ("`find -type f -print0 \\| xargs -0 cat`, cold", "find %s -type f -print0 | xargs -0 cat" % tree),
    ]
    runs = {name: [] for name, _ in warm_tools + cold_tools}
    for _ in range(rounds):
        for name, command in warm_tools:
            warm(tree)
            runs[name].append(timed(command))
    for _ in range(rounds):
        for name, command in cold_tools:
            cold(tree)
            runs[name].append(timed(command))
    warm(tree)
    aide = ("`aide --init`, SHA-256 only", "aide --init -c " + aide_config(os.path.join(work, "aide.conf"), tree,
                                                                          os.path.join(work, "aide.db")))
    runs[aide[0]] = [timed(aide[1])]
    print("| command | median wall (runs) | CPU (user+system) | peak memory | load average |")
    print("|---|---:|---:|---:|---|")
    for name, _ in warm_tools + [aide] + cold_tools:
        print(row(name, runs[name]))
    subprocess.run(["rm", "-rf", work], check=True)


if __name__ == "__main__":
    main()
