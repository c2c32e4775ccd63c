#!/usr/bin/env python3
"""Measures vestiga against the tools people use instead, and writes docs/benchmarks.md.

    run.py [--runs N] [--entries N] [--out FILE] [--skip-usr] [--skip-registry]

Run from the project folder, after the release and Windows builds (scripts/bench.sh
does both). Every command runs once to warm the caches, then N times; within a
round the tools take turns, so that a machine busy with other work slows all of
them alike. Each figure is the median of the N runs: wall time, CPU time (user +
system) of the process and its children, and the peak resident memory as GNU
time reports it (`%M`).
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

# What the tasks measured, field by field; Results holds all the report reads.
DumpResult = collections.namedtuple("DumpResult", "directory entries tools")
CompareResult = collections.namedtuple("CompareResult", "tools changed counts")
RegistryResult = collections.namedtuple("RegistryResult", "tools dump_file")
Results = collections.namedtuple("Results", "runs started loads baseline dumps compare print_tool dump_file registry")


class Tool:
    """One command of a comparison: what it runs, where its standard output goes.

    A tool marked `once` (AIDE, which takes minutes on a large tree) runs a
    single time, without a warm-up of its own, and is stopped after `limit`
    seconds; its figure is then a lower bound."""

    def __init__(self, name, argv, stdout=os.devnull, env=None, ok_codes=(0,), once=False, limit=None):
        self.name, self.argv, self.stdout, self.env, self.ok_codes = name, argv, stdout, env, ok_codes
        self.once, self.limit, self.stopped = once, limit, False
        self.wall, self.cpu, self.rss = [], [], []

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
    return tools


def mib(size):
    return "%.1f MiB" % (size / 1048576.0)


def table(tools, reference="vestiga"):
    base = tool_named(tools, reference).median_wall()
    lines = ["| tool | median wall | ratio to vestiga | median CPU | peak memory |", "|---|---:|---:|---:|---:|"]
    for tool in tools:
        ratio = ("> %.2f" if tool.stopped else "%.2f") % (tool.median_wall() / base)
        memory = "?" if tool.stopped else mib(max(tool.rss))
        lines.append("| %s | %s | %s | %.3f s | %s |" % (tool.name, tool.wall_text(), ratio,
                                                       statistics.median(tool.cpu), memory))
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
            Tool("comm -3 (sorted listings)", ["comm", "-3", os.path.join(work, "old.txt"), os.path.join(work, "new.txt")],
                 stdout=os.path.join(work, "comm.txt")),
            Tool("mtree -f MANIFEST -k time (walks the tree)", ["mtree", "-f", old_manifest, "-p", tree, "-k", "time"],
                 stdout=os.path.join(work, "mtree.txt"), ok_codes=(0, 1, 2)),
            Tool("aide --compare", ["aide", "--compare", "-c", compare_config], stdout=os.path.join(work, "aide.txt"),
                 ok_codes=tuple(range(0, 256)), once=True, limit=AIDE_LIMIT),
        ]
        return CompareResult(measure(tools, runs), change.size(), report_counts(os.path.join(work, "vestiga.txt")))
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
    started = datetime.datetime.now(datetime.timezone.utc)
    loads = [load()]

    baseline = measure([Tool("vestiga -help", [VESTIGA, "-help"])], runs)[0]
    trees = [] if options.skip_usr else [("/usr", "usr")]
    trees.append((tree, "generated"))
    dumps = {}
    for directory, tag in trees:
        print("Dump of %s..." % directory, flush=True)
        dumps[tag] = DumpResult(directory, count_entries(directory), measure(dump_tools(directory, tag), runs))
        loads.append(load())

    print("Compare...", flush=True)
    aide_complete = not tool_named(dumps["generated"].tools, "aide").stopped
    compare = compare_tools(tree, options.entries, os.path.join(CACHE, "dump-generated"), aide_complete, runs)
    loads.append(load())

    print("Print...", flush=True)
    dump_file = os.path.join(CACHE, "dump-generated", "vestiga.dat")
    print_tool = measure([Tool("vestiga -print", [VESTIGA, "-print", dump_file],
                               stdout=os.path.join(CACHE, "print.txt"))], runs)[0]
    loads.append(load())

    registry = None
    if not options.skip_registry:
        print("Registry under Wine...", flush=True)
        registry = registry_tools(runs)
        loads.append(load())

    write_report(options, Results(runs, started, loads, baseline, dumps, compare, print_tool, dump_file, registry))
    print("Wrote %s" % options.out)


def verdict(met):
    return "met" if met else "**not met**"


def write_report(options, results):
    out = []
    add = out.append
    add("# Benchmarks")
    add("")
    add("Written by `scripts/bench.sh` (%s UTC). Every figure is the median of %d runs after one warm-up run, "
        "with warm caches; within a round the tools take turns. Wall time is what counts for the targets; CPU time "
        "(user + system) is given beside it because the machine was shared. Peak memory is the largest resident "
        "set of any run, as GNU time reports it (`%%M`, which cannot go below the ~2 MiB of `time` itself)." %
        (results.started.strftime("%Y-%m-%d %H:%M"), results.runs))
    add("")
    add("Machine: %s. Load average (1, 5, 15 min) at the start and after each task: %s. The machine was shared "
        "with other work during the run whenever the load exceeds the number of cores." %
        (machine(), "; ".join(results.loads)))
    add("")
    entries = results.dumps["generated"].entries
    dump_bytes = os.path.getsize(results.dump_file)
    add("## 1. Taking a dump")
    add("")
    add("Each tool lists every directory and file below the directory with its last-write time: vestiga into its "
        "dump file, find and bfs as `mtime path` lines into a file, mtree as a manifest with the `time` "
        "keyword, AIDE as a database of a rule with the `m` attribute alone (it adds a few of its own). The "
        "generated tree is made once by `scripts/bench/make_tree.py`: about one entry in twelve a directory, "
        "3 to 10 levels deep, names of 4 to 24 characters, and named by its absolute path. AIDE runs once, "
        "stopped after %d s, as it takes minutes on the larger trees." % AIDE_LIMIT)
    add("")
    for tag, dump in results.dumps.items():
        add("### %s (%d entries)" % ("`/usr`" if tag == "usr" else "Generated tree", dump.entries))
        add("")
        add(table(dump.tools))
        add("")
    add("## 2. Comparing two dumps")
    add("")
    add("The generated tree, with %d entries (about 1%%) created, deleted or touched between the two dumps. "
        "vestiga reported %d created, %d deleted and %d modified paths (a created or deleted file also modifies "
        "its directory). `mtree -f` has no second dump to read: it walks the live tree against the first "
        "manifest. `comm -3` compares the sorted `path mtime` listings of `find`." %
        (results.compare.changed, results.compare.counts["CRE"], results.compare.counts["DEL"],
         results.compare.counts["MOD"]))
    add("")
    add(table(results.compare.tools))
    add("")
    add("## 3. Printing a dump")
    add("")
    add("`vestiga -print` of the %d-entry dump (%s) into a file." % (entries, mib(dump_bytes)))
    add("")
    print_tool, baseline = results.print_tool, results.baseline
    add(table([print_tool]))
    add("")
    above_file = max(print_tool.rss) - max(baseline.rss) - dump_bytes
    per_entry = above_file / float(entries)
    add("## 4. Memory of a print")
    add("")
    add("From the print run: its peak (%s) less the peak of `vestiga -help` (%s) less the dump file, which is "
        "read where it lies, mapped (%s), leaves %s for the print of %d entries: **%.1f bytes per entry** above "
        "the file's bytes. No snapshot is built; the records are read in place." %
        (mib(max(print_tool.rss)), mib(max(baseline.rss)), mib(dump_bytes), mib(above_file), entries, per_entry))
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
    find_ratios = []
    for tag, dump in results.dumps.items():
        vestiga = tool_named(dump.tools, "vestiga").median_wall()
        find = tool_named(dump.tools, "GNU find").median_wall()
        find_ratios.append((tag, vestiga / find))
    compare = tool_named(results.compare.tools, "vestiga").median_wall()
    comm = tool_named(results.compare.tools, "comm").median_wall()
    add("| target | measured | |")
    add("|---|---|---|")
    for tag, ratio in find_ratios:
        add("| dump of %s no slower than GNU find (ratio ≤ 1.0) | %.2f × find | %s |" %
            ("`/usr`" if tag == "usr" else "the generated tree", ratio, verdict(ratio <= 1.0)))
    add("| comparing two 1,000,000-entry dumps ≤ 0.5 s | %.3f s | %s |" % (compare, verdict(compare <= 0.5)))
    add("| comparing ≤ 2.5 × `comm -3` | %.1f × comm | %s |" % (compare / comm, verdict(compare <= 2.5 * comm)))
    for tool in (tool_named(results.compare.tools, name) for name in ("mtree", "aide")):
        ratio = tool.median_wall() / compare
        add("| faster than `%s` by a wide margin (taken as ≥ %d ×) | %s takes %s%.1f × vestiga | %s |" %
            (tool.name.split(" (")[0], WIDE_MARGIN, tool.name.split(" ")[0], "> " if tool.stopped else "", ratio,
             verdict(ratio >= WIDE_MARGIN)))
    printing = print_tool.median_wall()
    add("| printing 1,000,000 entries to a file ≤ 0.3 s | %.3f s | %s |" % (printing, verdict(printing <= 0.3)))
    add("| a print holds ≤ 16 bytes per entry above the dump file's bytes | %.1f bytes | %s |" %
        (per_entry, verdict(per_entry <= 16)))
    dump_peak = max(tool_named(results.dumps["generated"].tools, "vestiga").rss)
    add("| the dump of the generated tree peaks at ≤ 450 MiB | %s | %s |" %
        (mib(dump_peak), verdict(dump_peak <= 450 * 1048576)))
    if results.registry:
        tools = results.registry.tools
        ratio = tool_named(tools, "vestiga").median_wall() / tool_named(tools, "reg").median_wall()
        add("| registry dump under Wine no slower than `reg query /s` | %.2f × reg | %s |" % (ratio, verdict(ratio <= 1.0)))
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
