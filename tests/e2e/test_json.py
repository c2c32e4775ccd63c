"""-json FILE: the differences of -compare and the entries of -print as JSON
Lines, read back by Python's json module and by jq."""

import base64
import json
import os
import shutil
import subprocess

from test_print_compare import COMPARE_HEAD, HOSTILE_NAMES, IGNORE_HEAD, ORDINARY_NAMES, PLAIN
from vestiga import IS_WINDOWS, ProgramTestCase, dump_bytes

NAMES = [raw for raw, _ in HOSTILE_NAMES] + ORDINARY_NAMES
OLD = [(raw, 1) for raw in NAMES[:4]] + [(raw, 0x0102030405060708) for raw in NAMES[10:12]]
NEW = [(raw, 1) for raw in NAMES[4:10]] + [(raw, 0xFFFFFFFF00000000 + i) for i, raw in enumerate(NAMES[10:])]
NEW += [(NAMES[3], 2)]
# Ignore patterns see the raw path: this one matches only the deleted "cr\r tab\t".
IGNORE = "cr\\r tab\\t\n"


def differences(old, new, ignored):
    """(change, path, old, new) of each difference, in the text report's order."""
    old, new = dict(old), dict(new)
    created = [("created", p, None, new[p]) for p in sorted(set(new) - set(old))]
    deleted = [("deleted", p, old[p], None) for p in sorted(set(old) - set(new))]
    modified = [("modified", p, old[p], new[p]) for p in sorted(set(old) & set(new)) if old[p] != new[p]]
    return [d for d in created + deleted + modified if d[1] not in ignored]


def fingerprint(side):
    return None if side is None else int(side["fingerprint"], 16)


def parse_lines(data):
    """The objects of a JSON Lines file; paths back to the bytes they stand for."""
    text = data.decode("utf-8")
    assert text == "" or text.endswith("\n"), text
    objects = [json.loads(line) for line in text.split("\n")[:-1]]
    for o in objects:
        o["path"] = o["path"].encode("utf-8", "surrogateescape")
    return objects


class JsonTestCase(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.jq = shutil.which("jq")
        if not self.jq:
            self.fail("jq is missing: scripts/install-deps.sh installs it")

    def run_jq(self, name, *args):
        return subprocess.run([self.jq] + list(args) + [self.path(name)], capture_output=True,
                              check=True).stdout

    def assertJqReadsEveryLine(self, name, objects):
        self.assertEqual(len(objects), len(self.run_jq(name, "-c", ".").splitlines()))
        # jq keeps every valid character, NUL and line breaks among them, and
        # turns a byte that is not UTF-8 into U+FFFD.
        paths = [base64.b64decode(line) for line in self.run_jq(name, "-r", ".path | @base64").splitlines()]
        self.assertEqual(len(objects), len(paths))
        for path, o in zip(paths, objects):
            try:
                o["path"].decode("utf-8")
            except UnicodeDecodeError:
                continue
            self.assertEqual(o["path"], path)


class Compare(JsonTestCase):
    def compare(self, *extra):
        self.write("old.dat", dump_bytes(*OLD))
        self.write("new.dat", dump_bytes(*NEW))
        self.write("ignore.txt", IGNORE)
        return self.run_program("-compare", "old.dat", "new.dat", "-ignore", "ignore.txt", *extra)

    def test_one_object_per_difference_in_the_order_of_the_report(self):
        text = self.compare()
        result = self.compare("-json", "r.json", "-html", "r.html")
        self.assertEqual(text.raw + b"Writing report.\nWriting JSON.\n", result.raw)
        self.assertEqual(0, result.status)
        self.assertTrue(self.exists("r.html"))
        objects = parse_lines(self.read("r.json"))
        self.assertEqual(differences(OLD, NEW, {NAMES[2]}),
                         [(o["change"], o["path"], fingerprint(o.get("old")), fingerprint(o.get("new")))
                          for o in objects])
        for o in objects:
            self.assertEqual({"change", "path"} | ({"new"} if o["change"] == "created" else {"old"} if
                                                   o["change"] == "deleted" else {"old", "new"}), set(o))
        self.assertIn(b'{"change":"modified","path":"C:\\\\plain\\\\file.txt",'
                      b'"old":{"fingerprint":"0102030405060708"},"new":{"fingerprint":"FFFFFFFF00000000"}}\n',
                      self.read("r.json"))
        self.assertJqReadsEveryLine("r.json", objects)
        # The manual's example.
        self.assertEqual(b"\n".join([PLAIN, NAMES[3], b"tab\tonly", b""]),
                         self.run_jq("r.json", "-r", 'select(.change == "modified") | .path'))

    def test_identical_dumps_give_an_empty_file(self):
        self.write("old.dat", dump_bytes(*OLD))
        result = self.run_program("-compare", "old.dat", "old.dat", "-json", "r.json")
        self.assertRun(result, COMPARE_HEAD + "The two dumps are identical.\nCompare finished.\nWriting JSON.\n")
        self.assertEqual(b"", self.read("r.json"))

    def test_unwritable_file_gives_the_save_error(self):
        name = os.path.join("nodir", "r.json") if not IS_WINDOWS else "nodir\\r.json"
        result = self.compare("-json", name)
        self.assertEqual(1, result.status)
        self.assertTrue(result.out.startswith(
            IGNORE_HEAD + COMPARE_HEAD), result.out)
        self.assertIn("Compare finished.\nWriting JSON.\nAn Exception occurred:\n"
                      "An error occured when trying to open the file for writing.\nFilename: '" + name + "'\n",
                      result.out)


class Print(JsonTestCase):
    def test_one_object_per_entry_and_ignore_patterns_do_not_apply(self):
        self.write("d.dat", dump_bytes(*NEW))
        self.write("ignore.txt", ".*\n")
        text = self.run_program("-print", "d.dat", "-ignore", "ignore.txt")
        result = self.run_program("-print", "d.dat", "-ignore", "ignore.txt", "-json", "r.json")
        self.assertEqual(text.raw + b"Writing JSON.\n", result.raw)
        objects = parse_lines(self.read("r.json"))
        self.assertEqual(sorted(dict(NEW).items()), [(o["path"], int(o["fingerprint"], 16)) for o in objects])
        self.assertIn(b'\n{"path":"C:\\\\plain\\\\file.txt","fingerprint":"FFFFFFFF00000000"}\n',
                      self.read("r.json"))
        self.assertJqReadsEveryLine("r.json", objects)


class OtherFlows(ProgramTestCase):
    def test_help_and_dump_accept_the_flag_and_write_nothing(self):
        result = self.run_program("-help", "-json", "r.json")
        self.assertEqual(0, result.status)
        self.assertTrue(result.out.startswith("Vestiga Lite v1.00"), result.out)
        os.mkdir(self.path("tree"))
        result = self.run_program("-dump", "d.dat", "-dirs", "tree", "-json", "r.json")
        self.assertTrue(result.out.endswith("Dump created. 1 entries saved."), result.out)
        self.assertFalse(self.exists("r.json"))
        self.assertRun(self.run_program("-help", "-json"),
                       "An Exception occurred:\nNot enough arguments for the flag -json. 1 is required.\n",
                       status=1)
