#!/usr/bin/env python3
"""Measures vestiga against the tools people use instead, and writes docs/benchmarks.md.

    run.py [--runs N] [--entries N] [--big-entries N] [--out FILE] [--skip-usr] [--skip-registry]

Run from the project folder, after the release and Windows builds (scripts/bench.sh
does both). Every command runs once to warm the caches, then N times; within a
round the tools take turns, so that a machine busy with other work slows all of
them alike. Each figure is the median of the N runs: wall time, CPU time (user +
system) of the process and its children, and the peak resident memory as GNU
time reports it (`%M`); beside it, the 1-minute load average after each run.

--entries sizes the generated tree; the plain dumps of make_big_dump.py are made
at 1,000,000 entries and at --big-entries, once each, into build/bench-cache.
"""
import argparse
import collections
import datetime
import os
import platform
import random
import resource
import signal
import statistics
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
CACHE = os.path.join(ROOT, "build", "bench-cache")
VESTIGA = os.path.join(ROOT, "build", "release", "vestiga")
VESTIGA_EXE = os.path.join(ROOT, "build", "windows", "vestiga.exe")
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
WINE_PREFIX = os.path.join(ROOT, "build", "windows", "wineprefix")
CHANGED_SHARE = 100  # one entry in a hundred changes between two dumps
AIDE_LIMIT = 240  # seconds
WIDE_MARGIN = 2  # times faster
ANALYSIS_MARKER = "<!-- Everything below is kept when scripts/bench.sh writes this file again. -->"
FLOOR_SOURCE = os.path.join(ROOT, "scripts", "bench", "merge_floor.c")
FLOOR = os.path.join(CACHE, "merge_floor")
PRESET = os.path.join(ROOT, "presets", "linux-ignore.txt")
MILLION = 1000000
BIG_RECORD_BYTES = 95  # every record of make_big_dump.py
SORTED, CHANGED, SHUFFLED = 0, 1, 2  # variants of make_big_dump.py

# What the tasks measured, field by field; Results holds all the report reads.
DumpResult = collections.namedtuple("DumpResult", "directory entries tools")
CompareResult = collections.namedtuple("CompareResult", "tools changed counts floor_counts")
BigCompareResult = collections.namedtuple("BigCompareResult", "entries tools files counts floor_counts")
PrintResult = collections.namedtuple("PrintResult", "tools files")
RegistryResult = collections.namedtuple("RegistryResult", "tools dump_file")
Results = collections.namedtuple("Results", "runs started loads baseline dumps compare big_compares prints registry")


class Tool:
    """One command of a comparison: what it runs, where its standard output goes.

    A tool marked `once` (AIDE, which takes minutes on a large tree) runs a
    single time, without a warm-up of its own, and is stopped after `limit`
    seconds; its figure is then a lower bound."""

    def __init__(self, name, argv, stdout=os.devnull, env=None, ok_codes=(0,), once=False, limit=None):
        self.name, self.argv, self.stdout, self.env, self.ok_codes = name, argv, stdout, env, ok_codes
        self.once, self.limit, self.stopped = once, limit, False
        self.wall, self.cpu, self.rss, self.loads = [], [], [], []

    def run_once(self):
        """Wall and CPU time of one run, and its peak resident set from GNU time: a child
        forked from this Python process would carry the parent's resident set into its peak."""
        env = dict(os.environ, LC_ALL="C")
        env.update(self.env or {})
        peak = os.path.join(CACHE, "peak-rss.txt")
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        with open(self.stdout, "wb") as out:
            start = time.perf_counter()
            process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak] + self.argv, stdout=out,
                                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, env=env,
                                       start_new_session=True)
            try:
                process.wait(timeout=self.limit)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
                self.stopped = True
                return self.limit, self.limit, 0
            wall = time.perf_counter() - start
            usage = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = usage.ru_utime + usage.ru_stime - before.ru_utime - before.ru_stime
        if process.returncode not in self.ok_codes:
            raise SystemExit("%s failed with exit status %d: %s" % (self.name, process.returncode, " ".join(self.argv)))
        return wall, cpu, int(open(peak).read().split()[-1]) * 1024

    def median_wall(self):
        return statistics.median(self.wall)

    def wall_text(self):
        text = "%.3f s" % self.median_wall()
        if self.stopped:
            return "> %s (stopped)" % text
        return text + (" (1 run)" if self.once else "")


def tool_named(tools, prefix):
    return next(tool for tool in tools if tool.name.startswith(prefix))


def measure(tools, runs):
    for tool in tools:
        if not tool.once:
            tool.run_once()
    for round_number in range(runs):
        for tool in tools:
            if tool.once and round_number > 0:
                continue
            wall, cpu, rss = tool.run_once()
            tool.wall.append(wall)
            tool.cpu.append(cpu)
            tool.rss.append(rss)
            tool.loads.append(os.getloadavg()[0])
    return tools


def load_text(*tools):
    """The 1-minute load average after the tools' runs, lowest to highest."""
    loads = [value for tool in tools for value in tool.loads]
    low, high = "%.2f" % min(loads), "%.2f" % max(loads)
    return low if low == high else "%s–%s" % (low, high)


def mib(size):
    return "%.1f MiB" % (size / 1048576.0)


def table(tools, reference="vestiga", floor=None):
    """One line a tool; with a `floor`, each wall time also as a multiple of the floor's."""
    base = tool_named(tools, reference)
    floor_head, floor_rule = (" × floor |", "---:|") if floor else ("", "")
    lines = ["| tool | median wall | ratio to %s |%s median CPU | peak memory | load (1 min) |" %
             (base.name, floor_head), "|---|---:|---:|%s---:|---:|---:|" % floor_rule]
    for tool in tools:
        ratio = "> %.2f" if tool.stopped else "%.2f"
        cells = [tool.name, tool.wall_text(), ratio % (tool.median_wall() / base.median_wall())]
        if floor:
            cells.append(ratio % (tool.median_wall() / floor.median_wall()))
        cells += ["%.3f s" % statistics.median(tool.cpu), "?" if tool.stopped else mib(max(tool.rss)), load_text(tool)]
        lines.append("| %s |" % " | ".join(cells))
    return "\n".join(lines)


def count_entries(directory):
    count = 1
    for _, dirs, files in os.walk(directory):
        count += len(dirs) + len(files)
    return count


def aide_config(path, tree, database_in, database_out):
    with open(path, "w") as out:
        out.write("database_in=file:%s\ndatabase_out=file:%s\ndatabase_new=file:%s\n" %
                  (database_in, database_out, database_out))
        out.write("gzip_dbout=no\nreport_url=stdout\nnum_workers=1\nMT = m\n%s MT\n" % tree)
    return path


def dump_tools(tree, tag):
    work = os.path.join(CACHE, "dump-" + tag)
    os.makedirs(work, exist_ok=True)
    config = aide_config(os.path.join(work, "aide.conf"), tree, os.devnull, os.path.join(work, "aide.db"))
    return [
        Tool("vestiga -dump", [VESTIGA, "-dump", os.path.join(work, "vestiga.dat"), "-dirs", tree]),
        Tool("vestiga -dump -ignore presets/linux-ignore.txt",
             [VESTIGA, "-dump", os.path.join(work, "vestiga-preset.dat"), "-dirs", tree, "-ignore", PRESET]),
        Tool("GNU find -printf", ["find", tree, "-printf", "%T@ %p\\n"], stdout=os.path.join(work, "find.txt")),
        Tool("bfs -printf", ["bfs", tree, "-printf", "%T@ %p\\n"], stdout=os.path.join(work, "bfs.txt")),
        Tool("mtree -c -k time", ["mtree", "-c", "-k", "time", "-p", tree], stdout=os.path.join(work, "mtree.manifest")),
        Tool("aide --init (mtime only)", ["aide", "--init", "-c", config], once=True, limit=AIDE_LIMIT),
    ]


class TreeChange:
    """About one entry in a hundred of a tree created, deleted or touched, and undone afterwards."""

    def __init__(self, tree, entries, seed=7):
        rng = random.Random(seed)
        directories, files = [], []
        for root, dirs, names in os.walk(tree):
            directories.append(root)
            files.extend(os.path.join(root, name) for name in names)
        directories.sort()
        files.sort()
        share = max(3, entries // CHANGED_SHARE) // 3
        self.deleted = rng.sample(files, share)
        rest = sorted(set(files) - set(self.deleted))
        self.touched = rng.sample(rest, share)
        self.created = [os.path.join(rng.choice(directories), "bench-new-%d.txt" % i) for i in range(share)]
        parents = {os.path.dirname(p) for p in self.deleted + self.created}
        self.times = {p: os.stat(p).st_mtime_ns for p in sorted(parents) + self.touched + self.deleted}

    def apply(self):
        for path in self.deleted:
            os.unlink(path)
        for path in self.created:
            os.close(os.open(path, os.O_CREAT | os.O_WRONLY, 0o644))
        later = time.time_ns()
        for path in self.touched:
            os.utime(path, ns=(later, later))

    def undo(self):
        for path in self.created:
            if os.path.exists(path):
                os.unlink(path)
        for path in self.deleted:
            if not os.path.exists(path):
                os.close(os.open(path, os.O_CREAT | os.O_WRONLY, 0o644))
        for path, mtime in self.times.items():
            os.utime(path, ns=(mtime, mtime))

    def size(self):
        return len(self.created) + len(self.deleted) + len(self.touched)


def sorted_listing(tree, path):
    with open(path, "wb") as out:
        find = subprocess.Popen(["find", tree, "-printf", "%p %T@\\n"], stdout=subprocess.PIPE)
        subprocess.run(["sort"], stdin=find.stdout, stdout=out, check=True, env=dict(os.environ, LC_ALL="C"))
        find.wait()


def compare_tools(tree, entries, before, aide_complete, runs):
    """`before` is the folder of the dump task on the same tree: its vestiga dump, AIDE database and mtree
    manifest describe the tree before the change. While the tree is changed it is not marked as finished
    (make_tree.py), so that a run stopped before the change is undone leaves a tree no later run takes."""
    work = os.path.join(CACHE, "compare")
    os.makedirs(work, exist_ok=True)
    old_dat, old_db, old_manifest = (os.path.join(before, name) for name in ("vestiga.dat", "aide.db", "mtree.manifest"))
    new_dat, new_db = os.path.join(work, "new.dat"), os.path.join(work, "new.db")
    change = TreeChange(tree, entries)
    if not aide_complete:
        old_db = os.path.join(work, "old.db")
        subprocess.run(["aide", "--init", "-c", aide_config(os.path.join(work, "init.conf"), tree, os.devnull, old_db)],
                       stdout=subprocess.DEVNULL, check=True)
    sorted_listing(tree, os.path.join(work, "old.txt"))
    marker = tree + ".done"
    with open(marker) as finished:
        finished_text = finished.read()
    os.remove(marker)
    change.apply()
    try:
        subprocess.run([VESTIGA, "-dump", new_dat, "-dirs", tree], stdout=subprocess.DEVNULL, check=True)
        aide_init = aide_config(os.path.join(work, "init.conf"), tree, os.devnull, new_db)
        subprocess.run(["aide", "--init", "-c", aide_init], stdout=subprocess.DEVNULL, check=True)
        sorted_listing(tree, os.path.join(work, "new.txt"))
        compare_config = aide_config(os.path.join(work, "compare.conf"), tree, old_db, new_db)
        tools = [
            Tool("vestiga -compare", [VESTIGA, "-compare", old_dat, new_dat], stdout=os.path.join(work, "vestiga.txt")),
            Tool("merge floor", [FLOOR, old_dat, new_dat], stdout=os.path.join(work, "floor.txt")),
            Tool("comm -3 (sorted listings)", ["comm", "-3", os.path.join(work, "old.txt"), os.path.join(work, "new.txt")],
                 stdout=os.path.join(work, "comm.txt")),
            Tool("mtree -f MANIFEST -k time (walks the tree)", ["mtree", "-f", old_manifest, "-p", tree, "-k", "time"],
                 stdout=os.path.join(work, "mtree.txt"), ok_codes=(0, 1, 2)),
            Tool("aide --compare", ["aide", "--compare", "-c", compare_config], stdout=os.path.join(work, "aide.txt"),
                 ok_codes=tuple(range(0, 256)), once=True, limit=AIDE_LIMIT),
        ]
        return CompareResult(measure(tools, runs), change.size(), report_counts(os.path.join(work, "vestiga.txt")),
                             floor_counts(os.path.join(work, "floor.txt")))
    finally:
        change.undo()
        with open(marker, "w") as finished:
            finished.write(finished_text)


def report_counts(path):
    counts = {"CRE": 0, "DEL": 0, "MOD": 0}
    with open(path, "rb") as report:
        for line in report:
            label = line[:3].decode("ascii", "replace")
            if label in counts:
                counts[label] += 1
    return counts


def floor_counts(path):
    """What the floor printed, named as the report names it: only in the first dump is deleted."""
    deleted, created, modified = (int(field) for field in open(path).read().split())
    return {"CRE": created, "DEL": deleted, "MOD": modified}


def build_floor():
    subprocess.run(["cc", "-O2", "-o", FLOOR, FLOOR_SOURCE], check=True)


def big_dump(entries, variant):
    """The dump of make_big_dump.py, made once: written aside and renamed, so a file of the cache is complete;
    one of another size is made again."""
    path = os.path.join(CACHE, "big-%d-%d.dat" % (entries, variant))
    if not os.path.exists(path) or os.path.getsize(path) != entries * BIG_RECORD_BYTES:
        print("Making the %d-entry dump, variant %d (once)..." % (entries, variant), flush=True)
        subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "bench", "make_big_dump.py"), str(entries),
                        path + ".part", str(variant)], check=True)
        os.replace(path + ".part", path)
    return path


def sorted_print(dump):
    """The `vestiga -print` listing of a dump, sorted by LC_ALL=C sort as comm needs, made once for each dump."""
    path = dump[:-len(".dat")] + ".sorted.txt"
    if not os.path.exists(path) or os.path.getmtime(path) < os.path.getmtime(dump):
        print("Sorting the listing of %s (once)..." % os.path.basename(dump), flush=True)
        with subprocess.Popen([VESTIGA, "-print", dump], stdout=subprocess.PIPE) as listing:
            with open(path + ".part", "wb") as out:
                subprocess.run(["sort"], stdin=listing.stdout, stdout=out, check=True, env=dict(os.environ, LC_ALL="C"))
        if listing.returncode != 0:
            raise SystemExit("vestiga -print %s failed with exit status %d" % (dump, listing.returncode))
        os.replace(path + ".part", path)
    return path


def big_compare_tools(entries, runs):
    """Two sorted dumps of `entries` records, one fingerprint in a hundred changed: vestiga, the floor, and
    comm -3 of their sorted listings."""
    old, new = big_dump(entries, SORTED), big_dump(entries, CHANGED)
    old_listing, new_listing = sorted_print(old), sorted_print(new)
    work = os.path.join(CACHE, "compare-%d" % entries)
    os.makedirs(work, exist_ok=True)
    tools = measure([
        Tool("vestiga -compare", [VESTIGA, "-compare", old, new], stdout=os.path.join(work, "vestiga.txt")),
        Tool("merge floor", [FLOOR, old, new], stdout=os.path.join(work, "floor.txt")),
        Tool("comm -3 (sorted listings)", ["comm", "-3", old_listing, new_listing], stdout=os.path.join(work, "comm.txt")),
    ], runs)
    return BigCompareResult(entries, tools, (old, new), report_counts(os.path.join(work, "vestiga.txt")),
                            floor_counts(os.path.join(work, "floor.txt")))


def print_tools(runs):
    """`vestiga -print` of the sorted 1,000,000-entry dump and of the same records shuffled."""
    files = (big_dump(MILLION, SORTED), big_dump(MILLION, SHUFFLED))
    return PrintResult(measure([
        Tool("vestiga -print (sorted)", [VESTIGA, "-print", files[0]], stdout=os.path.join(CACHE, "print-sorted.txt")),
        Tool("vestiga -print (unsorted)", [VESTIGA, "-print", files[1]],
             stdout=os.path.join(CACHE, "print-unsorted.txt")),
    ], runs), files)


def machine():
    model = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")), "?")
    memory = next((int(l.split()[1]) for l in open("/proc/meminfo") if l.startswith("MemTotal")), 0) * 1024
    return "%d cores (nproc), %s, %s memory, Linux %s" % (os.cpu_count(), model, mib(memory).replace(" MiB", " MiB"),
                                                           platform.release())


def load():
    return "%.2f %.2f %.2f" % os.getloadavg()


def registry_tools(runs):
    env = {"WINEPREFIX": WINE_PREFIX}
    subprocess.run([WINE_RUN, "cmd", "/c", "exit"], env=dict(os.environ, **env), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    work = os.path.join(CACHE, "registry")
    os.makedirs(work, exist_ok=True)
    dat = os.path.join(work, "x.dat")
    return RegistryResult(measure([
        Tool("vestiga.exe -dump -regdirs (Wine)", [WINE_RUN, VESTIGA_EXE, "-dump", dat, "-regdirs",
                                                    "HKEY_LOCAL_MACHINE\\Software"], env=env,
             stdout=os.path.join(work, "vestiga.txt")),
        Tool("reg query /s (Wine)", [WINE_RUN, "reg", "query", "HKLM\\Software", "/s"], env=env,
             stdout=os.path.join(work, "reg.txt")),
    ], runs), dat)


def registry_entries(dat):
    count, data = 0, open(dat, "rb").read()
    offset = 0
    while offset < len(data):
        offset += 12 + int.from_bytes(data[offset:offset + 4], "little")
        count += 1
    return count


def positive(text):
    value = int(text)
    if value < 1:
        raise argparse.ArgumentTypeError("%s is not a positive number" % text)
    return value


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=positive, default=5)
    parser.add_argument("--entries", type=int, default=1000000)
    parser.add_argument("--big-entries", type=positive, default=5000000)
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "benchmarks.md"))
    parser.add_argument("--skip-usr", action="store_true")
    parser.add_argument("--skip-registry", action="store_true")
    options = parser.parse_args()
    runs = options.runs
    # Stopped by a signal, the run still undoes its change of the generated tree.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(128 + number))

    os.makedirs(CACHE, exist_ok=True)
    tree = os.path.join(CACHE, "tree-%d" % options.entries)
    print("Generating the tree of %d entries (once)..." % options.entries, flush=True)
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "bench", "make_tree.py"), tree,
                    str(options.entries)], check=True)
    sizes = sorted({MILLION, options.big_entries})
    for entries in sizes:
        for variant in (SORTED, CHANGED):
            sorted_print(big_dump(entries, variant))
    big_dump(MILLION, SHUFFLED)
    build_floor()
    started = datetime.datetime.now(datetime.timezone.utc)
    loads = [("start", load())]

    baseline = measure([Tool("vestiga -help", [VESTIGA, "-help"])], runs)[0]
    trees = [] if options.skip_usr else [("/usr", "usr")]
    trees.append((tree, "generated"))
    dumps = {}
    for directory, tag in trees:
        print("Dump of %s..." % directory, flush=True)
        dumps[tag] = DumpResult(directory, count_entries(directory), measure(dump_tools(directory, tag), runs))
        loads.append(("dump of %s" % tree_name(tag), load()))

    print("Compare of the generated tree...", flush=True)
    aide_complete = not tool_named(dumps["generated"].tools, "aide").stopped
    compare = compare_tools(tree, options.entries, os.path.join(CACHE, "dump-generated"), aide_complete, runs)
    loads.append(("compare of the generated tree", load()))

    big_compares = []
    for entries in sizes:
        print("Compare of two %d-entry dumps..." % entries, flush=True)
        big_compares.append(big_compare_tools(entries, runs))
        loads.append(("compare of two %s-entry dumps" % count_text(entries), load()))

    print("Print...", flush=True)
    prints = print_tools(runs)
    loads.append(("print", load()))

    registry = None
    if not options.skip_registry:
        print("Registry under Wine...", flush=True)
        registry = registry_tools(runs)
        loads.append(("registry", load()))

    write_report(options, Results(runs, started, loads, baseline, dumps, compare, big_compares, prints, registry))
    print("Wrote %s" % options.out)


def verdict(met):
    return "met" if met else "**not met**"


def count_text(entries):
    return "{:,}".format(entries)


def tree_name(tag):
    return "`/usr`" if tag == "usr" else "the generated tree"


def above_files(tool, baseline, files):
    """A tool's peak less the peak of `vestiga -help` less the bytes of the files it maps."""
    return max(tool.rss) - max(baseline.rss) - sum(os.path.getsize(path) for path in files)


def write_report(options, results):
    out = []
    add = out.append
    add("# Benchmarks")
    add("")
    add("Written by `scripts/bench.sh` (%s UTC). Every figure is the median of %d runs after one warm-up run, "
        "with warm caches; within a round the tools take turns. Wall time is what counts for the targets; CPU time "
        "(user + system) is given beside it because the machine was shared. Peak memory is the largest resident "
        "set of any run, as GNU time reports it (`%%M`, which cannot go below the ~2 MiB of `time` itself). "
        "Beside each figure, the 1-minute load average after each of its runs, lowest to highest." %
        (results.started.strftime("%Y-%m-%d %H:%M"), results.runs))
    add("")
    add("Machine: %s. Load average (1, 5, 15 min) at the start and after each task: %s. The machine was shared "
        "with other work during the run whenever the load exceeds the number of cores." %
        (machine(), "; ".join("%s %s" % pair for pair in results.loads)))
    add("")
    add("## 1. Taking a dump")
    add("")
    add("Each tool lists every directory and file below the directory with its last-write time: vestiga into its "
        "dump file, without and with the shipped Linux preset as its ignore file, find and bfs as `mtime path` "
        "lines into a file, mtree as a manifest with the `time` keyword, AIDE as a database of a rule with the "
        "`m` attribute alone (it adds a few of its own). The generated tree is made once by "
        "`scripts/bench/make_tree.py`: about one entry in twelve a directory, 3 to 10 levels deep, names of 4 to "
        "24 characters, and named by its absolute path. AIDE runs once, stopped after %d s, as it takes minutes "
        "on the larger trees." % AIDE_LIMIT)
    add("")
    for tag, dump in results.dumps.items():
        add("### %s (%d entries)" % ("`/usr`" if tag == "usr" else "Generated tree", dump.entries))
        add("")
        add(table(dump.tools, reference="bfs"))
        add("")
    compare = results.compare
    add("## 2. Comparing two dumps of the generated tree")
    add("")
    add("The generated tree, with %d entries (about 1%%) created, deleted or touched between the two dumps. "
        "vestiga reported %d created, %d deleted and %d modified paths (a created or deleted file also modifies "
        "its directory); the floor (section 3) counted %d, %d and %d. `mtree -f` has no second dump to read: it "
        "walks the live tree against the first manifest. `comm -3` compares the sorted `path mtime` listings of "
        "`find`." %
        ((compare.changed,) + tuple(compare.counts[label] for label in ("CRE", "DEL", "MOD")) +
         tuple(compare.floor_counts[label] for label in ("CRE", "DEL", "MOD"))))
    add("")
    add(table(compare.tools, floor=tool_named(compare.tools, "merge floor")))
    add("")
    add("## 3. Comparing two large sorted dumps")
    add("")
    first = results.big_compares[0]
    add("Plain dumps made by `scripts/bench/make_big_dump.py`, %d bytes a record: variant 0, and variant 1 with the "
        "fingerprint of one record in a hundred changed (no path added or removed). The floor is "
        "`scripts/bench/merge_floor.c`, built with `cc -O2`: it maps both files, walks their records once in a merge "
        "by the byte order of the paths and prints three counts, the least a compare costs on this machine; each "
        "figure is also given as a multiple of it. `comm -3` compares the equivalent text listings: the output of "
        "`vestiga -print` of each dump, sorted once by `LC_ALL=C sort` (%s for %s entries). Memory above the two "
        "files is the compare's peak less the peak of `vestiga -help` (%s) less the two files' bytes, which the "
        "compare maps." %
        (BIG_RECORD_BYTES, mib(os.path.getsize(sorted_print(first.files[0]))), count_text(first.entries),
         mib(max(results.baseline.rss))))
    add("")
    for big in results.big_compares:
        vestiga = tool_named(big.tools, "vestiga")
        add("### %s entries (%s a dump)" % (count_text(big.entries), mib(os.path.getsize(big.files[0]))))
        add("")
        add(table(big.tools, floor=tool_named(big.tools, "merge floor")))
        add("")
        add("vestiga reported %d created, %d deleted and %d modified paths; the floor counted %d, %d and %d. "
            "Peak memory of the compare: %s, **%s above the two files** (%s)." %
            (tuple(big.counts[label] for label in ("CRE", "DEL", "MOD")) +
             tuple(big.floor_counts[label] for label in ("CRE", "DEL", "MOD")) +
             (mib(max(vestiga.rss)), mib(above_files(vestiga, results.baseline, big.files)),
              mib(sum(os.path.getsize(path) for path in big.files)))))
        add("")
    prints = results.prints
    sorted_print_tool, unsorted_print_tool = prints.tools
    per_entry = [above_files(tool, results.baseline, [path]) / float(MILLION)
                 for tool, path in zip(prints.tools, prints.files)]
    add("## 4. Printing a dump")
    add("")
    add("`vestiga -print` into a file of the sorted %s-entry dump of section 3 (variant 0, %s) and of the same "
        "records in a shuffled order (variant 2 of `make_big_dump.py`, the same bytes otherwise), which cannot be "
        "read as a sorted stream." % (count_text(MILLION), mib(os.path.getsize(prints.files[0]))))
    add("")
    add(table(prints.tools))
    add("")
    add("Memory above the dump file's bytes (the peak less the peak of `vestiga -help` less the mapped file): "
        "sorted %s, **%.1f bytes an entry**; unsorted %s, **%.1f bytes an entry**." %
        (mib(above_files(sorted_print_tool, results.baseline, prints.files[:1])), per_entry[0],
         mib(above_files(unsorted_print_tool, results.baseline, prints.files[1:])), per_entry[1]))
    add("")
    if results.registry:
        add("## 5. The registry under Wine")
        add("")
        add("`HKEY_LOCAL_MACHINE\\Software` of the build's Wine prefix (%d keys and values in the dump); both "
            "programs started through `scripts/wine-run` with the prefix's server running." %
            registry_entries(results.registry.dump_file))
        add("")
        add(table(results.registry.tools))
        add("")
    add("## Targets")
    add("")
    add("| target | measured | load (1 min) | |")
    add("|---|---|---|---|")

    def target(text, measured, tools, met):
        add("| %s | %s | %s | %s |" % (text, measured, load_text(*tools), verdict(met)))

    million = next(big for big in results.big_compares if big.entries == MILLION)
    vestiga, floor, comm = (tool_named(million.tools, name) for name in ("vestiga", "merge floor", "comm"))
    wall = vestiga.median_wall()
    target("compare of two sorted %s-entry dumps ≤ 0.1 s" % count_text(MILLION),
           "%.3f s (%.1f × floor)" % (wall, wall / floor.median_wall()), (vestiga,), wall <= 0.1)
    target("compare of two sorted %s-entry dumps ≤ 0.5 × `comm -3`" % count_text(MILLION),
           "%.2f × comm" % (wall / comm.median_wall()), (vestiga, comm), wall <= 0.5 * comm.median_wall())
    printing = sorted_print_tool.median_wall()
    target("print of %s entries to a file ≤ 0.15 s" % count_text(MILLION), "%.3f s" % printing, (sorted_print_tool,),
           printing <= 0.15)
    for big in results.big_compares:
        if big is not million:
            vestiga, floor = tool_named(big.tools, "vestiga"), tool_named(big.tools, "merge floor")
            wall = vestiga.median_wall()
            target("compare of two sorted %s-entry dumps ≤ 0.5 s" % count_text(big.entries),
                   "%.3f s (%.1f × floor)" % (wall, wall / floor.median_wall()), (vestiga,), wall <= 0.5)
    for big in results.big_compares:
        vestiga = tool_named(big.tools, "vestiga")
        above = above_files(vestiga, results.baseline, big.files)
        target("peak memory of a compare of two sorted %s-entry dumps ≤ 48 MiB above the two files" %
               count_text(big.entries), mib(above), (vestiga,), above <= 48 * 1048576)
    printing = unsorted_print_tool.median_wall()
    target("print of an unsorted %s-entry dump ≤ 0.4 s" % count_text(MILLION), "%.3f s" % printing,
           (unsorted_print_tool,), printing <= 0.4)
    target("print of an unsorted %s-entry dump holds ≤ 16 bytes an entry above the file's bytes" % count_text(MILLION),
           "%.1f bytes" % per_entry[1], (unsorted_print_tool,), per_entry[1] <= 16)
    for name, bound, label in (("vestiga -dump", 1.0, ""), ("vestiga -dump -ignore", 1.1, " with the shipped Linux preset")):
        for tag, dump in results.dumps.items():
            tool, bfs = tool_named(dump.tools, name), tool_named(dump.tools, "bfs")
            ratio = tool.median_wall() / bfs.median_wall()
            target("dump of %s%s ≤ %.1f × bfs" % (tree_name(tag), label, bound),
                   "%.2f × bfs (%.3f s)" % (ratio, tool.median_wall()), (tool, bfs), ratio <= bound)
    for tag, dump in results.dumps.items():
        plain, preset = tool_named(dump.tools, "vestiga -dump"), tool_named(dump.tools, "vestiga -dump -ignore")
        peak = max(plain.rss + preset.rss)
        target("dump of %s peaks at ≤ 32 MiB, with the preset or without" % tree_name(tag), mib(peak), (plain, preset),
               peak <= 32 * 1048576)
    vestiga = tool_named(compare.tools, "vestiga")
    for tool in (tool_named(compare.tools, name) for name in ("mtree", "aide")):
        ratio = tool.median_wall() / vestiga.median_wall()
        target("compare of the generated tree faster than `%s` by a wide margin (taken as ≥ %d ×)" %
               (tool.name.split(" (")[0], WIDE_MARGIN),
               "%s takes %s%.1f × vestiga" % (tool.name.split(" ")[0], "> " if tool.stopped else "", ratio),
               (vestiga, tool), ratio >= WIDE_MARGIN)
    if results.registry:
        tools = results.registry.tools
        vestiga, reg = tool_named(tools, "vestiga"), tool_named(tools, "reg")
        ratio = vestiga.median_wall() / reg.median_wall()
        target("registry dump under Wine no slower than `reg query /s`", "%.2f × reg" % ratio, (vestiga, reg),
               ratio <= 1.0)
    add("")
    # What follows the marker is written by hand (profiles, changes) and kept.
    add(ANALYSIS_MARKER)
    if os.path.exists(options.out):
        kept = open(options.out).read()
        if ANALYSIS_MARKER in kept:
            add(kept.split(ANALYSIS_MARKER, 1)[1].strip("\n"))
            add("")
    os.makedirs(os.path.dirname(options.out), exist_ok=True)
    with open(options.out, "w") as out_file:
        out_file.write("\n".join(out))


if __name__ == "__main__":
    main()
