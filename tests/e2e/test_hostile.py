"""Hostile and broken input and faults: each ends in a clear message, a failed
run in exit status 1, and no existing file is damaged."""

import os
import random
import re
import resource
import stat
import struct
import threading

from vestiga import IS_WINDOWS, SANITIZED, SEP, SYSTEM_TEXT_END, ProgramTestCase, dump_bytes, run, shown_name, system_path


EXCEPTION = "An Exception occurred:\n"
CORRUPT = EXCEPTION + "Error deserializing data. The data is corrupt.\n\n"
OPEN_FOR_READING = EXCEPTION + "An error occured when trying to open the file for reading.\nFilename: '%s'\n"
OUT_OF_MEMORY = "Out of memory. Please make sure you have a large amount of virtual memory.\nOut of memory!!\n"
COMPLEXITY = ("The complexity of matching the regular expression exceeded predefined bounds.  Try refactoring "
              "the regular expression to make each choice made by the state machine unambiguous.  This exception "
              "is thrown to prevent \"eternal\" matches that take an indefinite period time to locate.")
IGNORE_HEAD = "Loading ignore file.\nCompiling regular expressions in ignore file.\nCompiling done.\n"
COMPARE_HEAD = ("Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nParsing dump 2.\n"
                "Comparing the two dumps.\nComparsion result:\n")

# Everything a scan may write between its first and its last progress line.
_LINE = r"[^\n]*"
_SYSTEM = r"System error message: [^\n]*" + SYSTEM_TEXT_END
_LISTING = (r"Error when trying to get first level directories\. \n"
            r"The error occured when (?:opening a find file handle|getting the next file)\. "
            r"Initial directory: " + _LINE + r"\n\n" + _SYSTEM)
SCAN_MESSAGE = re.compile(
    r"Warning: Error getting files\.\n" + _LISTING +
    r"|Warning: Error getting  directories\.\n" + _LISTING +
    r"|Warning\. File ignored: Error opening file or directory: '" + _LINE + r"'\n"
    r"Using 'CreateFile' system call\.\n" + _SYSTEM +
    r"|Warning: Error getting file information for file: '" + _LINE + r"'\n" + _SYSTEM)


def parse_dump(data):
    """The (path, fingerprint) records of a dump, paths as bytes."""
    entries, offset = {}, 0
    while offset < len(data):
        (length,) = struct.unpack_from("<I", data, offset)
        path = data[offset + 4:offset + 4 + length]
        (fingerprint,) = struct.unpack_from("<Q", data, offset + 4 + length)
        entries[path] = fingerprint
        offset += 12 + length
    return entries


def scan_messages(out):
    """The messages a dump run wrote while it scanned, split into single messages."""
    head, tail = "Creating dump. Please be patient.\n", "Serializing dump.\n"
    start = out.index(head) + len(head)
    section = out[start:out.index(tail, start)]
    messages, offset = [], 0
    while offset < len(section):
        match = SCAN_MESSAGE.match(section, offset)
        if match is None:
            raise AssertionError("not a scan message: %r" % section[offset:offset + 300])
        messages.append(match.group(0))
        offset = match.end()
    return messages


class HostileTestCase(ProgramTestCase):
    def files(self):
        """Every regular file below the test's directory: its size, time and, unless it is big, content."""
        state = {}
        for root, _, names in os.walk(self.dir):
            for name in names:
                full = os.path.join(root, name)
                status = os.lstat(full)
                if stat.S_ISREG(status.st_mode):
                    content = None
                    if status.st_size < 1 << 20:
                        with open(full, "rb") as f:
                            content = f.read()
                    state[os.path.relpath(full, self.dir)] = (status.st_size, status.st_mtime_ns, content)
        return state

    def run_failing(self, *args, **kwargs):
        """Runs a run that must fail: exit status 1, and every file as it was."""
        before = self.files()
        result = self.run_program(*args, **kwargs)
        self.assertEqual(1, result.status, result.out)
        after = self.files()
        after.pop("assertion.txt", None)
        self.assertEqual(before, after)
        return result

    def assertDumpCompleted(self, result, name="d.dat"):
        """Exit status 0, well-formed scan messages, and as many entries saved as said."""
        self.assertEqual(0, result.status, result.out[-2000:])
        messages = scan_messages(result.out)
        entries = parse_dump(self.read(name))
        self.assertTrue(result.out.endswith("Serializing dump.\nSaving dump.\nDump created. %d entries saved."
                                            % len(entries)), result.out[-500:])
        return entries, messages

    def skipOnWindows(self, reason):
        if IS_WINDOWS:
            self.skipTest(reason)


class BrokenDumpFiles(HostileTestCase):
    def test_a_dump_cut_anywhere_inside_a_record_is_corrupt(self):
        whole = dump_bytes(("first", 1), ("second path", 2), ("third", 3))
        boundaries = {0, 17, 17 + 23, len(whole)}
        self.write("new.dat", dump_bytes(("first", 1)))
        for cut in sorted(set(range(1, len(whole))) - boundaries)[::3]:
            self.write("d.dat", whole[:cut])
            result = self.run_failing("-print", "d.dat")
            self.assertEqual("Loading dump.\nParsing dump.\n" + CORRUPT, result.out, cut)
            result = self.run_failing("-compare", "new.dat", "d.dat")
            self.assertEqual("Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nParsing dump 2.\n" + CORRUPT,
                             result.out, cut)

    def test_a_length_beyond_the_data_is_corrupt_whatever_its_size(self):
        for length in (13, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF4, 0xFFFFFFFF):
            self.write("d.dat", struct.pack("<I", length) + b"x" * 12)
            self.assertEqual("Loading dump.\nParsing dump.\n" + CORRUPT,
                             self.run_failing("-print", "d.dat").out, length)

    def test_a_dump_beyond_2_gib_is_read_where_it_lies(self):
        # Records of an empty path up to past 2 GiB, then one that sorts after them.
        last = dump_bytes(("z", 0x0102030405060708))
        holes = -(-(2 ** 31 + 1) // 12) * 12
        with open(self.path("huge.dat"), "wb") as f:
            f.truncate(holes)
            f.seek(holes)
            f.write(last)
        self.assertRun(self.run_program("-print", "huge.dat"),
                       "Loading dump.\nParsing dump.\nPrinting dump.\n"
                       "0000000000000000 \n0102030405060708 z\n")

    def test_random_bytes_are_corrupt(self):
        generator = random.Random(20240611)
        for size in [1, 2, 3, 4, 5, 11, 12, 13, 100, 4096] + [generator.randrange(1, 3000) for _ in range(6)]:
            data = bytes(generator.randrange(256) for _ in range(size))
            self.write("d.dat", data)
            result = self.run_program("-print", "d.dat")
            self.assertEqual("Loading dump.\nParsing dump.\n" + CORRUPT, result.out, data[:40])
            self.assertEqual(1, result.status)

    def test_random_records_are_listed_byte_for_byte(self):
        generator = random.Random(7)
        records = {}
        for _ in range(200):
            path = bytes(generator.randrange(1, 256) for _ in range(generator.randrange(0, 40)))
            records[path] = generator.getrandbits(64)
        data = b"".join(struct.pack("<I", len(p)) + p + struct.pack("<Q", f) for p, f in records.items())
        self.write("d.dat", data)
        result = self.run_program("-print", "d.dat")
        self.assertEqual(0, result.status)
        listing = b"".join(b"%016X %s\n" % (records[p], shown_name(p)) for p in sorted(records))
        self.assertEqual(b"Loading dump.\nParsing dump.\nPrinting dump.\n" + listing, result.raw)


class DumpFilesThatAreNoFiles(HostileTestCase):
    def test_a_directory(self):
        os.mkdir(self.path("folder"))
        result = self.run_failing("-print", "folder")
        self.assertTrue(result.out.startswith("Loading dump.\n" + OPEN_FOR_READING % "folder"), result.out)
        if not IS_WINDOWS:
            self.assertIn("\nSystem error message: Access is denied.\n\nC++ exception: None.\n", result.out)

    def assertRefused(self, name):
        result = self.run_failing("-print", name, timeout=120)
        self.assertTrue(result.out.startswith("Loading dump.\n" + OPEN_FOR_READING % name), result.out)
        self.assertTrue(result.out.endswith("\nC++ exception: None.\n"), result.out)
        if not IS_WINDOWS:
            self.assertIn("\nSystem error message: The request is not supported.\n\nC++ exception", result.out)
        result = self.run_failing("-compare", name, name, timeout=120)
        self.assertTrue(result.out.startswith("Loading dump 1.\n" + OPEN_FOR_READING % name), result.out)

    def test_devices_are_refused(self):
        for device in (["NUL"] if IS_WINDOWS else ["/dev/zero", "/dev/null"]):
            self.assertRefused(device)

    def test_a_fifo_is_refused_without_waiting_for_a_writer(self):
        self.skipOnWindows("FIFOs are POSIX")
        os.mkfifo(self.path("fifo"))
        self.assertRefused("fifo")

    def test_an_ignore_file_that_is_no_file(self):
        names = ["NUL"] if IS_WINDOWS else ["/dev/zero", "fifo"]
        if not IS_WINDOWS:
            os.mkfifo(self.path("fifo"))
        for name in names:
            result = self.run_failing("-ignore", name, "-help", timeout=120)
            self.assertTrue(result.out.startswith("Loading ignore file.\n" + OPEN_FOR_READING % name), result.out)
            self.assertNotIn("Vestiga Lite", result.out)

    def test_an_unreadable_dump_file(self):
        self.skipOnWindows("dropping privileges is POSIX")
        if os.getuid() != 0:
            self.skipTest("needs root to drop privileges")
        self.write("d.dat", dump_bytes(("a", 1)))
        os.chmod(self.path("d.dat"), 0)
        os.chmod(self.dir, 0o777)

        def drop():
            os.setgroups([])
            os.setgid(65534)
            os.setuid(65534)

        result = self.run_failing("-print", "d.dat", preexec_fn=drop)
        self.assertTrue(result.out.startswith("Loading dump.\n" + OPEN_FOR_READING % "d.dat"), result.out)
        self.assertIn("\nSystem error message: Access is denied.\n\nC++ exception: ", result.out)


class PatternsTooComplexToMatch(HostileTestCase):
    def message(self, pattern, name):
        return (EXCEPTION + "Error matching regular expression: '" + pattern + "' against the name '" + name +
                "'\n" + COMPLEXITY + "\n\n")

    def test_at_compare_time(self):
        name = "a" * 60
        self.write("old.dat", dump_bytes(("kept", 1)))
        self.write("new.dat", dump_bytes(("kept", 1), (name, 2)))
        self.write("ignore.txt", "(a*)*b\n")
        result = self.run_failing("-compare", "old.dat", "new.dat", "-ignore", "ignore.txt")
        self.assertEqual(IGNORE_HEAD + COMPARE_HEAD + self.message("(a*)*b", name), result.out)

    def test_at_dump_time_the_previous_dump_stays(self):
        name = "a" * 200
        self.write("tree/" + name, "x")
        self.write("d.dat", b"previous")
        self.write("ignore.txt", "tree.(a*)*b\n")
        result = self.run_failing("-dump", "d.dat", "-dirs", "tree", "-ignore", "ignore.txt")
        self.assertEqual(IGNORE_HEAD + "Creating dump. Please be patient.\n" +
                         self.message("tree.(a*)*b", "tree" + SEP + name), result.out)
        self.assertEqual(["d.dat", "ignore.txt", "tree"], sorted(os.listdir(self.dir)))


class Names(HostileTestCase):
    def make_files(self, names, top=b"tree"):
        os.mkdir(os.path.join(self.dir.encode(), top))
        for name in names:
            with open(os.path.join(self.dir.encode(), top, name), "wb") as f:
                f.write(b"x")

    def round_trip(self, names):
        """Dump, print and compare a tree of the given names: every name exactly as it is."""
        names = [n.encode() if isinstance(n, str) else n for n in names]
        self.make_files(names)
        sep = SEP.encode()
        self.assertDumpCompleted(self.run_program("-dump", "old.dat", "-dirs", "tree"), "old.dat")
        entries = parse_dump(self.read("old.dat"))
        self.assertEqual(sorted([b"tree"] + [b"tree" + sep + n for n in names]), sorted(entries))

        listing = b"".join(b"%016X %s\n" % (entries[p], shown_name(p)) for p in sorted(entries))
        self.assertEqual(b"Loading dump.\nParsing dump.\nPrinting dump.\n" + listing,
                         self.run_program("-print", "old.dat").raw)

        changed, removed = names[0], names[1]
        os.utime(os.path.join(self.dir.encode(), b"tree", changed), (1, 1))
        os.remove(os.path.join(self.dir.encode(), b"tree", removed))
        os.utime(self.path("tree"), (2, 2))
        self.assertDumpCompleted(self.run_program("-dump", "new.dat", "-dirs", "tree"), "new.dat")
        result = self.run_program("-compare", "old.dat", "new.dat")
        self.assertEqual(0, result.status)
        report = sorted([(b"DEL", b"tree" + sep + removed), (b"MOD", b"tree" + sep + changed), (b"MOD", b"tree")],
                        key=lambda line: (line[0] != b"DEL", line[1]))
        self.assertEqual(COMPARE_HEAD.encode() + b"".join(b"%s %s\n" % (kind, shown_name(path)) for kind, path in report)
                         + b"Compare finished.\n", result.raw)

    def test_blanks(self):
        self.round_trip([b"with blank", b"two  blanks", b" leading blank", b"x"])

    def test_newlines_backslashes_and_bytes_of_no_encoding(self):
        self.skipOnWindows("POSIX names may hold any byte but '/' and NUL")
        self.round_trip([b"new\nline", b"back\\slash", b"trailing blank ", b"tab\tin", b"\x01\x1b[31m",
                         b"\xff\xfe", b"caf\xe9", b"\x80", b"\xc3\x28", b"\xed\xa0\x80"])

    def test_a_name_with_a_line_break_cannot_forge_a_report_line(self):
        self.skipOnWindows("POSIX names may hold any byte but '/' and NUL")
        os.mkdir(self.path("t"))
        os.utime(self.path("t"), (1_600_000_000, 1_600_000_000))
        self.assertDumpCompleted(self.run_program("-dump", "old.dat", "-dirs", "t"), "old.dat")
        self.write("t/innocent\nDEL t", "x")
        os.utime(self.path("t"), (1_600_000_000, 1_600_000_000))
        self.assertDumpCompleted(self.run_program("-dump", "new.dat", "-dirs", "t"), "new.dat")
        self.assertEqual(COMPARE_HEAD + 'CRE "t/innocent\\nDEL t"\nCompare finished.\n',
                         self.run_program("-compare", "old.dat", "new.dat").out)

    def test_warnings_show_the_names_quoted(self):
        self.skipOnWindows("POSIX names may hold any byte but '/' and NUL")
        result = self.run_program("-dump", "d.dat", "-dirs", b"missing\nDEL x", "-regdirs", b"HKEY\x1b]0;x\x07\\a")
        self.assertIn(b"Initial directory: \"missing\\nDEL x\"\n\n", result.raw)
        self.assertIn(b"Warning. File ignored: Error opening file or directory: '\"missing\\nDEL x\"'\n", result.raw)
        self.assertIn(b"Warning: Error gettings information from the registry. "
                      b"Unable to convert the string '\"HKEY\\033]0;x\\007\"' to a registry key.", result.raw)
        self.assertNotIn(b"\x1b", result.raw)
        self.assertNotIn(b"\nDEL", result.raw)

    def test_messages_quote_the_working_directory_and_the_arguments(self):
        self.skipOnWindows("POSIX names may hold any byte but '/' and NUL")
        cwd = os.path.join(self.dir.encode(), b"cwd\x1b]0;PWNED\x07\x1b[2J\nDEL fake")
        os.mkdir(cwd)
        shown_cwd = shown_name(cwd + b"/")
        runs = [(("-print", "missing.dat"), b"Filename: 'missing.dat'\nCurrent Working Directory: " + shown_cwd + b"\n"),
                (("-compare", b"x\nCRE /etc/evil", "y"),
                 b"Filename: '\"x\\nCRE /etc/evil\"'\nCurrent Working Directory: " + shown_cwd + b"\n"),
                (("-dump", "d.dat", b"-x\x1b[2J\nDEL fake"), b"The flag \"-x\\033[2J\\nDEL fake\" is not allowed"),
                (("-print", "d.dat", "-print"), b"The flag -print was used more than once.")]
        for args, message in runs:
            result = run(*args, cwd=cwd)
            self.assertEqual(1, result.status, result.out)
            self.assertIn(message, result.raw)
            self.assertIsNone(re.search(rb"[\x00-\x08\x0b\x0c\x0e-\x1f\x7f-\xff]", result.raw), result.raw)
            self.assertNotIn(b"\nDEL", result.raw)
            self.assertNotIn(b"\nCRE", result.raw)

    def test_a_named_directory_with_a_newline(self):
        self.skipOnWindows("POSIX names may hold any byte but '/' and NUL")
        self.make_files([b"a"], top=b"new\nline \xff")
        entries, _ = self.assertDumpCompleted(self.run_program("-dump", "d.dat", "-dirs", b"new\nline \xff"))
        self.assertEqual([b"new\nline \xff", b"new\nline \xff/a"], sorted(entries))

    def test_names_in_every_script(self):
        # Windows hands the names out as UTF-16; the dump holds them as UTF-8.
        self.round_trip(["na\u00efve.txt", "\u65e5\u672c\u8a9e.txt", "emoji\U0001F600.txt",
                         "\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac", "\u05e2\u05d1\u05e8\u05d9\u05ea"])

    def test_a_directory_named_in_another_script_is_walked(self):
        folder = "tree/\u76ee\u5f55\U0001F600"
        os.makedirs(self.path(folder))
        self.write_utf8(folder + "/\u0444\u0430\u0439\u043b.txt")
        sep = SEP.encode()
        inside = folder.replace("/", SEP).encode()
        self.assertDumpCompleted(self.run_program("-dump", "old.dat", "-dirs", "tree"), "old.dat")
        self.assertEqual(sorted([b"tree", inside, inside + sep + "\u0444\u0430\u0439\u043b.txt".encode()]),
                         sorted(parse_dump(self.read("old.dat"))))

        self.write_utf8(folder + "/\u65b0.txt")
        os.utime(self.path(folder), (2, 2))
        self.assertDumpCompleted(self.run_program("-dump", "new.dat", "-dirs", "tree"), "new.dat")
        result = self.run_program("-compare", "old.dat", "new.dat")
        self.assertEqual(COMPARE_HEAD.encode() + b"CRE " + inside + sep + "\u65b0.txt".encode() + b"\nMOD " + inside +
                         b"\nCompare finished.\n", result.raw)

    def write_utf8(self, name):
        with open(self.path(name), "wb") as f:
            f.write(b"x")


def make_chain(top, names):
    """Directories nested one in the next, made relative to directory handles, so
    that no path handed to the system grows long."""
    os.mkdir(top)
    fd = os.open(top, os.O_RDONLY)
    try:
        for name in names:
            os.mkdir(name, dir_fd=fd)
            inner = os.open(name, os.O_RDONLY, dir_fd=fd)
            os.close(fd)
            fd = inner
        os.close(os.open("file.txt", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd))
    finally:
        os.close(fd)


def remove_chain(top):
    """Removes what make_chain made, innermost first, without long paths."""
    fds, names = [os.open(top, os.O_RDONLY)], []
    while True:
        inner = [entry.name for entry in os.scandir(fds[-1]) if entry.is_dir(follow_symlinks=False)]
        if not inner:
            break
        names.append(inner[0])
        fds.append(os.open(inner[0], os.O_RDONLY, dir_fd=fds[-1]))
    os.unlink("file.txt", dir_fd=fds[-1])
    while names:
        os.close(fds.pop())
        os.rmdir(names.pop(), dir_fd=fds[-1])
    os.close(fds.pop())
    os.rmdir(top)


class LongPathsAndDeepTrees(HostileTestCase):
    def setUp(self):
        super().setUp()
        self.addCleanup(lambda: os.path.exists(self.path("tree")) and remove_chain(self.path("tree")))

    def check_cut_off_walk(self, names):
        make_chain(self.path("tree"), names)
        entries, messages = self.assertDumpCompleted(self.run_program("-dump", "d.dat", "-dirs", "tree",
                                                                      timeout=1200))
        paths = [SEP.join(["tree"] + names[:depth]).encode() for depth in range(len(names) + 1)]
        # The walk goes down as far as the system takes the paths, and no further.
        reached = len(entries)
        self.assertGreater(reached, 1)
        self.assertLess(reached, len(names))
        self.assertEqual(sorted(paths[:reached]), sorted(entries))
        warnings = [m for m in messages if m.startswith("Warning")]
        self.assertTrue(warnings)
        if not IS_WINDOWS:
            for warning in warnings:
                self.assertTrue(warning.endswith("System error message: The filename or extension is too long.\n"),
                                warning)

    def check_whole_walk(self, names):
        """The chain, named by its absolute path, is recorded whole, each entry with its time."""
        make_chain(self.path("tree"), names)
        top = system_path(self.path("tree"))
        entries, messages = self.assertDumpCompleted(self.run_program("-dump", "d.dat", "-dirs", top))
        self.assertEqual([], messages)
        self.assertFalse(self.exists("assertion.txt"))
        chain = names + ["file.txt"]
        for depth in range(len(chain) + 1):
            recorded = SEP.join([top] + chain[:depth]).encode()
            status = os.lstat(os.path.join(self.path("tree"), *chain[:depth]))
            self.assertEqual(status.st_mtime_ns // 100 + 116444736000000000, entries.pop(recorded))
        self.assertEqual({}, entries)

    def test_paths_over_400_characters_named_absolutely(self):
        self.check_whole_walk(["%02d" % level + "l" * 98 for level in range(5)])

    def test_paths_beyond_the_longest_path_the_system_takes(self):
        self.check_cut_off_walk(["%03d" % level + "n" * 196 for level in range(30)])

    def test_a_tree_thousands_of_levels_deep(self):
        if IS_WINDOWS:
            # Wine looks a path up level by level on every call, which for
            # thousands of levels takes it many minutes; hundreds show as much.
            self.check_whole_walk(["d"] * 300)
        else:
            self.check_cut_off_walk(["d"] * 3000)


class ChangesWhileScanning(HostileTestCase):
    def test_files_and_directories_that_come_and_go(self):
        for d in range(30):
            for f in range(40):
                self.write("tree/d%02d/f%02d.txt" % (d, f), "x")
        stop = threading.Event()

        def churn():
            generation = 0
            while not stop.is_set():
                for d in range(30):
                    base = self.path("tree", "d%02d" % d)
                    extra = os.path.join(base, "extra")
                    try:
                        if generation % 2 == 0:
                            os.mkdir(extra)
                            for f in range(5):
                                with open(os.path.join(extra, "e%d" % f), "w") as file:
                                    file.write("e")
                            with open(os.path.join(base, "new.txt"), "w") as file:
                                file.write("n")
                        else:
                            for f in range(5):
                                os.remove(os.path.join(extra, "e%d" % f))
                            os.rmdir(extra)
                            os.remove(os.path.join(base, "new.txt"))
                    except OSError:
                        pass
                generation += 1

        worker = threading.Thread(target=churn)
        worker.start()
        try:
            results = [self.run_program("-dump", "d%d.dat" % run, "-dirs", "tree") for run in range(3)]
        finally:
            stop.set()
            worker.join()
        stable = {SEP.join(["tree", "d%02d" % d, "f%02d.txt" % f]).encode() for d in range(30) for f in range(40)}
        for run, result in enumerate(results):
            entries, _ = self.assertDumpCompleted(result, "d%d.dat" % run)
            self.assertEqual(set(), stable - set(entries))


class OutOfMemory(HostileTestCase):
    def test_a_dump_too_big_for_the_memory_given(self):
        self.skipOnWindows("address-space limits are POSIX; Wine needs more address space itself")
        if SANITIZED:
            self.skipTest("the sanitizer's allocator ends the process instead of failing an allocation")
        with open(self.path("big.dat"), "wb") as f:
            for i in range(300000):
                path = b"/a/fairly/long/directory/name/for/a/big/dump/file-%08d.txt" % i
                f.write(struct.pack("<I", len(path)) + path + struct.pack("<Q", i))
        self.write("small.dat", dump_bytes(("a", 1)))

        outcomes = set()
        for megabytes in (24, 48, 64, 96, 512):
            def limit(size=megabytes << 20):
                resource.setrlimit(resource.RLIMIT_AS, (size, size))

            for args, head in ((["-print", "big.dat"], "Loading dump.\n"),
                               (["-compare", "small.dat", "big.dat"], "Loading dump 1.\n")):
                before = self.files()
                result = self.run_program(*args, preexec_fn=limit)
                self.assertTrue(result.out.startswith(head), result.out[:300])
                if result.status == 0:
                    outcomes.add("completed")
                    self.assertTrue(result.out.endswith(("file-00299999.txt\n", "Compare finished.\n")))
                else:
                    outcomes.add("out of memory")
                    self.assertEqual(1, result.status)
                    self.assertTrue(result.out.endswith("\n" + OUT_OF_MEMORY), (megabytes, result.out[-300:]))
                    self.assertNotIn(EXCEPTION, result.out)
                self.assertEqual(before, self.files())
        self.assertEqual({"completed", "out of memory"}, outcomes)
