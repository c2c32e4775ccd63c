"""Content dumps (-content): the SHA-256 of every regular file, and what changed in it."""

import ctypes
import hashlib
import json
import os
import select
import threading
from unittest.mock import ANY

from test_details import COMPARE_HEAD, report, without_facts, without_times
from test_dump import DumpTestCase, drop_privileges
from vestiga import IS_WINDOWS

DUMPED = "Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\nDump created. %d entries saved."
VERIFY_HEAD = "Loading dump.\nParsing dump.\nScanning. Please be patient.\nComparing the dump with the scan.\n"


def shown(data):
    return hashlib.sha256(data).hexdigest()[:16].upper()


class AppendingOnEachRead(threading.Thread):
    """Appends a byte to a file each time another process has read from it,
    until stopped: a file that grows while a reader is halfway through it."""

    IN_ACCESS = 0x1

    def __init__(self, path):
        super().__init__()
        self.path = path
        libc = ctypes.CDLL(None, use_errno=True)
        self.events = libc.inotify_init1(os.O_CLOEXEC)
        if self.events < 0 or libc.inotify_add_watch(self.events, path.encode(), self.IN_ACCESS) < 0:
            raise OSError(ctypes.get_errno(), "inotify")
        self.stopped = threading.Event()

    def run(self):
        while not self.stopped.is_set():
            if select.select([self.events], [], [], 0.05)[0]:
                os.read(self.events, 4096)
                with open(self.path, "ab") as f:
                    f.write(b"!")

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stopped.set()
        self.join()
        os.close(self.events)


class Both(DumpTestCase):
    def test_a_rewrite_that_keeps_size_and_times_is_modified(self):
        self.make_tree("tree/a", "tree/b")
        self.assertRun(self.dump("old.dat", "-dirs", "tree", "-content"), DUMPED % 3)
        self.assertIn(b"\x07content", self.read("old.dat")[:400])
        status = os.stat(self.path("tree", "a"))
        with open(self.path("tree", "a"), "r+b") as f:
            f.write(b"A")
        os.utime(self.path("tree", "a"), ns=(status.st_atime_ns, status.st_mtime_ns))
        self.assertRun(self.dump("new.dat", "-dirs", "tree", "-content"), DUMPED % 3)
        change = ["    content: %s -> %s" % (shown(b"tree/a"), shown(b"Aree/a"))]
        result = self.run_program("-compare", "old.dat", "new.dat", "-json", "changes.json")
        self.assertEqual([{"change": "modified", "path": self.p("tree/a"),
                           "old": {"fingerprint": ANY, "content": hashlib.sha256(b"tree/a").hexdigest().upper()},
                           "new": {"fingerprint": ANY, "content": hashlib.sha256(b"Aree/a").hexdigest().upper()}}],
                         [json.loads(line) for line in self.read("changes.json").splitlines()])
        self.assertTrue(without_facts(result.out).startswith(COMPARE_HEAD + "Comparsion result:\n"), result.out)
        self.assertEqual({"MOD " + self.p("tree/a"): change},
                         {path: without_times(lines) for path, lines in report(result.out).items()})
        # A dump that holds digests is verified against the content whatever the flags.
        result = self.run_program("-verify", "old.dat", "-dirs", "tree")
        self.assertTrue(without_facts(result.out).startswith(VERIFY_HEAD + "Comparsion result:\n"), result.out)
        self.assertEqual({"MOD " + self.p("tree/a"): change},
                         {path: without_times(lines) for path, lines in report(result.out).items()})

        # Against a detailed dump the content does not count, and the run says so.
        self.assertRun(self.dump("detailed.dat", "-dirs", "tree", "-details"), DUMPED % 3)
        result = self.run_program("-compare", "old.dat", "detailed.dat")
        self.assertTrue(without_facts(result.out).startswith(
            COMPARE_HEAD + "Only one of the dumps holds content digests: "
            "comparing the other details alone.\nComparsion result:\n"), result.out)
        self.assertEqual([], without_times(report(result.out).get("MOD " + self.p("tree/a"), [])))
        # Without -dump the flag does nothing; a plain dump is as it was.
        self.assertRun(self.dump("plain.dat", "-dirs", "tree"), DUMPED % 3)
        self.assertRun(self.run_program("-compare", "plain.dat", "plain.dat", "-content"),
                       COMPARE_HEAD + "Comparsion result:\nThe two dumps are identical.\nCompare finished.\n")


class Native(DumpTestCase):
    def setUp(self):
        super().setUp()
        if IS_WINDOWS:
            self.skipTest("FIFOs and modes are POSIX")

    def test_a_fifo_and_an_unreadable_file(self):
        if os.getuid() != 0:
            self.skipTest("needs root to drop privileges")
        self.make_tree("tree/open", "tree/secret")
        os.mkfifo(self.path("tree", "fifo"))
        os.chmod(self.path("tree", "secret"), 0o200)
        os.chmod(self.dir, 0o777)
        os.chmod(self.path("tree"), 0o755)
        # Nothing ever writes to the FIFO: a dump that opened it would wait for ever.
        result = self.run_program("-dump", "d.dat", "-dirs", "tree", "-content", preexec_fn=drop_privileges,
                                  timeout=60)
        self.assertEqual("Creating dump. Please be patient.\n"
                         "Warning: Error reading the content of file: 'tree/secret'\n"
                         "System error message: Access is denied.\n" + (DUMPED % 4)[len("Creating dump. Please "
                                                                                       "be patient.\n"):],
                         result.out)
        with open(self.path("tree", "secret"), "ab") as f:
            f.write(b"!")
        os.utime(self.path("tree", "secret"), (0, 0))
        result = self.run_program("-verify", "d.dat", "-dirs", "tree")
        entries = report(result.out)
        self.assertEqual(["    content: unreadable -> %s" % shown(b"tree/secret!")],
                         [line for line in entries["MOD tree/secret"] if "content" in line])
        self.assertEqual(["MOD tree/secret"], list(entries))

    def test_a_file_that_grows_while_it_is_read(self):
        # Large enough to take many reads; the first append comes after the
        # first read, long before the last.
        self.make_tree("tree/small")
        with open(self.path("tree", "growing"), "wb") as f:
            f.truncate(128 << 20)
        with AppendingOnEachRead(self.path("tree", "growing")):
            result = self.run_program("-dump", "d.dat", "-dirs", "tree", "-content")
        self.assertEqual("Creating dump. Please be patient.\n"
                         "Warning: File changed while its content was read: 'tree/growing'\n" +
                         (DUMPED % 3)[len("Creating dump. Please be patient.\n"):], result.out)
        with open(self.path("tree", "growing"), "rb") as f:
            now = shown(f.read())
        entries = report(self.run_program("-verify", "d.dat", "-dirs", "tree").out)
        self.assertEqual(["MOD tree/growing"], list(entries))
        contents = [line for line in entries["MOD tree/growing"] if "content" in line]
        self.assertEqual(1, len(contents), contents)
        self.assertRegex(contents[0], r"^    content: [0-9A-F]{16} \(changed while read\) -> %s$" % now)
