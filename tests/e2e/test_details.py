"""Detailed dumps (-details): what changed, old and new, for files and registry values."""

import json
import os
import re
import shutil
import socket
import subprocess

from test_dump import T0, DumpTestCase, folded_md5
from test_html import page_data
from vestiga import IS_WINDOWS, SEP, run_windows_tool

COMPARE_HEAD = ("Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nParsing dump 2.\n"
                "Comparing the two dumps.\n")
CORRUPT = "An Exception occurred:\nError deserializing data. The data is corrupt.\n\n"
TIME = r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(\.\d+)?Z"


def report(out):
    """The MOD, CRE and DEL lines of a compare, each with the detail lines below it."""
    entries, current = {}, None
    for line in out.split("Comparsion result:\n", 1)[1].splitlines():
        if line.startswith("    "):
            entries[current].append(line)
        elif line[:4] in ("MOD ", "CRE ", "DEL "):
            current = line
            entries[current] = []
    return entries


def without_facts(out):
    """The output without the lines that tell where, when and of what a dump was taken."""
    return re.sub(r"(?m)^Dump( [12])? (program version|host name|scan started|dir|regdir|ignore file SHA-256): "
                  r".*\n", "", out)


def without_times(lines):
    return [line for line in lines if not re.fullmatch(r"    (last write|status change): %s -> %s" % (TIME, TIME),
                                                       line)]


class Both(DumpTestCase):
    def test_plain_against_detailed_and_a_cut_detailed_dump(self):
        self.make_tree("tree/a")
        self.assertRun(self.dump("plain.dat", "-dirs", "tree"), "Creating dump. Please be patient.\n"
                       "Serializing dump.\nSaving dump.\nDump created. 2 entries saved.")
        self.assertRun(self.dump("detailed.dat", "-dirs", "tree", "-details"), "Creating dump. Please be patient.\n"
                       "Serializing dump.\nSaving dump.\nDump created. 2 entries saved.")
        detailed = self.read("detailed.dat")
        self.assertEqual(b"\xff\xff\xff\xff\x01", detailed[:5])
        # A detailed dump tells what it was made of.
        os.mkdir(self.path("sub"))
        self.write("ignore.txt", "")
        self.assertEqual(0, self.dump("other.dat", "-dirs", "tree", "sub", "-details", "-ignore", "ignore.txt").status)
        self.assertRegex(self.run_program("-print", "other.dat").out,
                         r"^Loading dump\.\nParsing dump\.\nDump program version: 1\.00\n"
                         r"Dump host name: (?i:%s)\nDump scan started: \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{7}Z\n"
                         r"Dump dir: tree\nDump dir: sub\n"
                         r"Dump ignore file SHA-256: E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855\n"
                         r"Printing dump\.\n" % re.escape(socket.gethostname()))
        # Dumps compared the wrong way round, or of other directories, say so
        # before the result.
        self.assertIn("\nDump 2 dir: tree\nComparing the two dumps.\nWarning: dump 1 was taken after dump 2.\n"
                      "Warning: the two dumps were taken of different directories or keys.\nComparsion result:\n",
                      self.run_program("-compare", "other.dat", "detailed.dat").out)
        self.assertIn("\nComparing the two dumps.\n"
                      "Warning: the two dumps were taken of different directories or keys.\nComparsion result:\n",
                      self.run_program("-compare", "detailed.dat", "other.dat").out)
        self.assertNotIn("Warning", self.run_program("-compare", "detailed.dat", "detailed.dat").out)
        # The flag does nothing where nothing is dumped.
        compared = self.run_program("-compare", "plain.dat", "detailed.dat", "-details")
        self.assertRegex(compared.out, r"\nDump 2 program version: 1\.00\nDump 2 host name: .*\n"
                         r"Dump 2 scan started: .*\nDump 2 dir: tree\nComparing")
        compared.out = re.sub(r"(?m)^Dump 2 .*\n", "", compared.out)
        self.assertRun(compared, COMPARE_HEAD + "Only one of the dumps has details: comparing last-write times and "
                       "fingerprints alone.\nComparsion result:\nThe two dumps are identical.\nCompare finished.\n")
        with open(self.path("tree", "a"), "a") as f:
            f.write("more")
        os.utime(self.path("tree", "a"), (T0 + 1, T0 + 1))
        self.dump("later.dat", "-dirs", "tree")
        self.assertEqual({"MOD " + self.p("tree/a"): []},
                         report(self.run_program("-compare", "detailed.dat", "later.dat").out))

        self.write("cut.dat", detailed[:-1])
        self.write("header.dat", detailed[:30])
        for name in ("cut.dat", "header.dat"):
            self.assertRun(self.run_program("-print", name), "Loading dump.\nParsing dump.\n" + CORRUPT, status=1)
            self.assertRun(self.run_program("-compare", name, "plain.dat"),
                           "Loading dump 1.\nParsing dump 1.\n" + CORRUPT, status=1)


class Native(DumpTestCase):
    def setUp(self):
        super().setUp()
        if IS_WINDOWS:
            self.skipTest("modes, owners and FIFOs are POSIX")

    def test_a_new_detailed_dump_is_its_owner_s_alone(self):
        self.make_tree("tree/a.txt")
        old_mask = os.umask(0o022)
        try:
            self.dump("plain.dat", "-dirs", "tree")
            self.dump("detailed.dat", "-dirs", "tree", "-details")
            os.chmod(self.path("plain.dat"), 0o640)
            self.dump("plain.dat", "-dirs", "tree", "-details")
        finally:
            os.umask(old_mask)
        self.assertEqual(0o600, os.stat(self.path("detailed.dat")).st_mode & 0o7777)
        # A dump saved over keeps the mode its owner gave it.
        self.assertEqual(0o640, os.stat(self.path("plain.dat")).st_mode & 0o7777)

    def test_changes_that_keep_the_last_write_time(self):
        self.make_tree("tree/setuid", "tree/owned", "tree/grown", "tree/swapped", "tree/fifo", "tree/attr",
                       "tree/acl", "tree/same")
        for name in os.listdir(self.path("tree")):
            os.chmod(self.path("tree", name), 0o644)
        os.symlink("setuid", self.path("tree", "link"))
        try:
            os.setxattr(self.path("tree", "same"), "user.kept", b"1")
            attributes = True
        except OSError:
            attributes = False
        self.assertRun(self.dump("old.dat", "-dirs", "tree", "-details"), "Creating dump. Please be patient.\n"
                       "Serializing dump.\nSaving dump.\nDump created. 10 entries saved.")
        listing = self.run_program("-print", "old.dat").out.splitlines()
        self.assertEqual("Loading dump.\nParsing dump.\nPrinting dump.",
                         "\n".join(line for line in listing[:7] if not line.startswith("Dump ")))
        self.assertIn("file 0644 0 0 10 2020-09-13T12:26:40Z tree/grown", listing)
        self.assertRegex([line for line in listing if line.startswith("link ")][0],
                         r"^link 0777 0 0 6 %s tree/link -> setuid$" % TIME)

        os.chmod(self.path("tree", "setuid"), 0o4755)
        os.chown(self.path("tree", "owned"), 1234, 5678)
        with open(self.path("tree", "grown"), "a") as f:
            f.write("-longer")
        os.utime(self.path("tree", "grown"), (T0, T0))
        old_id = os.stat(self.path("tree", "swapped"))
        self.write("tree/swapped.new", "tree/SWAPPED")
        os.chmod(self.path("tree", "swapped.new"), 0o644)
        os.utime(self.path("tree", "swapped.new"), (T0, T0))
        os.replace(self.path("tree", "swapped.new"), self.path("tree", "swapped"))
        new_id = os.stat(self.path("tree", "swapped"))
        os.unlink(self.path("tree", "fifo"))
        os.mkfifo(self.path("tree", "fifo"), 0o644)
        os.utime(self.path("tree", "fifo"), (T0, T0))
        os.symlink("owned", self.path("tree", "link.new"))
        os.replace(self.path("tree", "link.new"), self.path("tree", "link"))
        if attributes:
            os.setxattr(self.path("tree", "attr"), "user.comment", b"\n\x1b[2Jforged")
        acl = attributes and shutil.which("setfacl") is not None
        if acl:
            subprocess.run(["setfacl", "-m", "u:1234:r", self.path("tree", "acl")], check=True)
        os.utime(self.path("tree"), (T0, T0))
        self.dump("new.dat", "-dirs", "tree", "-details")

        result = self.run_program("-compare", "old.dat", "new.dat")
        self.assertEqual(0, result.status)
        entries = report(result.out)
        self.assertEqual(["    mode: 0644 -> 4755"], without_times(entries["MOD tree/setuid"]))
        self.assertEqual(["    owner: 0 -> 1234", "    group: 0 -> 5678"], without_times(entries["MOD tree/owned"]))
        self.assertEqual(["    size: 10 -> 17"], without_times(entries["MOD tree/grown"]))
        self.assertRegex(entries["MOD tree/grown"][1], r"^    status change: %s -> %s$" % (TIME, TIME))
        self.assertEqual(["    file id: %d:%d -> %d:%d" % (old_id.st_dev, old_id.st_ino, new_id.st_dev, new_id.st_ino)],
                         without_times(entries["MOD tree/swapped"]))
        self.assertEqual(["    type: file -> fifo", "    size: 9 -> 0"],
                         [line for line in entries["MOD tree/fifo"] if "type" in line or "size" in line])
        self.assertIn("    link target: setuid -> owned", entries["MOD tree/link"])
        if attributes:
            self.assertEqual(["    extended attributes: none -> user.comment"],
                             without_times(entries["MOD tree/attr"]))
        if acl:
            self.assertIn("    extended attributes: none -> system.posix_acl_access", entries["MOD tree/acl"])
        self.assertNotIn("MOD tree/same", entries)
        # The report page shows the same changes, old and new, and a listing page each entry's details.
        self.run_program("-compare", "old.dat", "new.dat", "-html", "page.html")
        details = json.loads(page_data(self.read("page.html")))["details"]
        self.assertIn("mode: 0644 \u2192 4755", [text.split("; ")[0] for text in details])
        self.run_program("-print", "old.dat", "-html", "list.html")
        listed = json.loads(page_data(self.read("list.html")))["details"]
        self.assertEqual(1, len([text for text in listed if re.fullmatch(r"link 0777 0 0 6 %s -> setuid" % TIME, text)]))
        # Last-write times alone see only the link made anew and the directory it was made in.
        self.dump("plain-new.dat", "-dirs", "tree")
        self.assertEqual({"MOD tree": [], "MOD tree/link": []}, report(self.run_program("-compare", "old.dat", "plain-new.dat").out))


class WindowsDetails(DumpTestCase):
    """Registry data and file attributes in Wine's real registry and files."""

    def setUp(self):
        super().setUp()
        if not IS_WINDOWS:
            self.skipTest("a POSIX system has no registry")
        self.key = "HKEY_CURRENT_USER\\Software\\VestigaDetails%d" % os.getpid()
        self.addCleanup(run_windows_tool, "reg", "delete", self.key, "/f", cwd=self.dir)

    def import_reg(self, text, number, type_name, big):
        lines = ["Windows Registry Editor Version 5.00", "", "[%s]" % self.key,
                 '"Text"="%s"' % text, '"Number"=dword:%08x' % number, '"Big"="%s"' % big]
        hidden = ",".join("%02x" % b for b in "same\0".encode("utf-16-le"))
        lines.append('"Typed"=%s:%s' % (type_name, hidden))
        with open(self.path("details.reg"), "wb") as f:
            f.write("\r\n".join(lines + [""]).encode("utf-16"))
        result = run_windows_tool("reg", "import", "details.reg", cwd=self.dir)
        self.assertEqual(0, result.status, result.raw + result.err)

    def test_registry_data_and_attributes_old_and_new(self):
        self.make_tree("tree/file")
        self.import_reg("one", 1, "hex(1)", "a" * 102400)
        self.assertRun(self.dump("old.dat", "-regdirs", self.key, "-dirs", "tree", "-details"),
                       "Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\n"
                       "Dump created. 7 entries saved.")
        listing = self.run_program("-print", "old.dat").out.splitlines()
        self.assertIn("value REG_DWORD - - 4 - %s\\Number" % self.key, listing)

        self.import_reg("two\x1b[2J", 4294967295, "hex(2)", "b" * 102400)
        attrib = run_windows_tool("attrib", "+r", "tree\\file", cwd=self.dir)
        self.assertEqual(0, attrib.status, attrib.raw + attrib.err)
        self.dump("new.dat", "-regdirs", self.key, "-dirs", "tree", "-details")
        result = self.run_program("-compare", "old.dat", "new.dat")
        entries = report(result.out)
        key = "MOD " + self.key
        self.assertEqual(["    data: (102400 bytes, digest 0x%X) -> (102400 bytes, digest 0x%X)"
                          % (folded_md5(b"a" * 102400), folded_md5(b"b" * 102400))], entries[key + "\\Big"])
        self.assertEqual(["    data: 1 -> 4294967295"], entries[key + "\\Number"])
        self.assertEqual(['    data: one -> "two\\033[2J"'], entries[key + "\\Text"])
        self.assertEqual(["    type: REG_SZ -> REG_EXPAND_SZ"], entries[key + "\\Typed"])
        self.assertEqual(["    attributes: ARCHIVE -> READONLY,ARCHIVE"],
                         without_times(entries["MOD tree" + SEP + "file"]))
