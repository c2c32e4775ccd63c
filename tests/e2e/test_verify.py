"""-verify DUMP: the live tree or registry checked against a dump, with the
report -compare gives for that dump and a dump taken now."""

import os

from test_dump import T0, T1, DumpTestCase
from test_print_compare import IGNORE_HEAD
from vestiga import IS_WINDOWS, run_windows_tool

VERIFY_HEAD = "Loading dump.\nParsing dump.\nScanning. Please be patient.\nComparing the dump with the scan.\n"


def result_section(out):
    """From "Comparsion result:" to the end."""
    return out[out.index("Comparsion result:\n"):]


class Verify(DumpTestCase):
    def files(self):
        found = set()
        for root, dirs, files in os.walk(self.dir):
            found.update(os.path.relpath(os.path.join(root, name), self.dir) for name in dirs + files)
        return found

    def test_a_changed_tree_gives_the_report_of_compare_and_no_file(self):
        self.make_tree("tree/app/bin/tool", "tree/app/share/README", "tree/app/share/old.txt",
                       "tree/logs/app.log", "tree/empty/")
        self.write("ignore.txt", ".*\\.log\n")
        self.dump("before.dat", "-dirs", "tree", "-ignore", "ignore.txt")
        self.assertRun(self.run_program("-verify", "before.dat", "-dirs", "tree", "-ignore", "ignore.txt"),
                       IGNORE_HEAD + VERIFY_HEAD +
                       "Comparsion result:\nThe two dumps are identical.\nCompare finished.\n")

        self.write("tree/app/bin/tool", "v2")
        self.write("tree/app/bin/helper", "new")
        os.makedirs(self.path("tree/app/plugins"))
        self.write("tree/app/plugins/extra.so", "so")
        os.remove(self.path("tree/app/share/old.txt"))
        self.touch_all(T0)
        for changed in ("tree/app/bin/tool", "tree/app/bin/helper", "tree/app/plugins", "tree/app/bin",
                        "tree/logs/app.log"):
            os.utime(self.path(changed), (T1, T1))
        self.dump("after.dat", "-dirs", "tree")
        compared = self.run_program("-compare", "before.dat", "after.dat", "-ignore", "ignore.txt",
                                    "-json", "compare.json")
        self.assertIn(self.p("\nCRE tree/app/bin/helper\n"), compared.out)
        self.assertIn(self.p("\nMOD tree/app/bin/tool\n"), compared.out)

        before = self.files()
        verified = self.run_program("-verify", "before.dat", "-dirs", "tree", "-ignore", "ignore.txt",
                                    "-json", "verify.json", "-html", "verify.html")
        self.assertRun(verified, IGNORE_HEAD + VERIFY_HEAD + result_section(compared.out).replace(
            "Writing JSON.\n", "Writing report.\nWriting JSON.\n"))
        self.assertEqual(self.read("compare.json"), self.read("verify.json"))
        self.assertEqual(before | {"verify.json", "verify.html"}, self.files())

        # Without the ignore file the log shows, as it would in the dump taken now.
        self.assertIn(self.p("\nCRE tree/logs/app.log\n"),
                      self.run_program("-verify", "before.dat", "-dirs", "tree").out)

        # A detailed dump is checked against the details taken now, with the
        # lines -compare of two detailed dumps gives.
        self.dump("detailed.dat", "-dirs", "tree", "-details")
        self.write("tree/app/share/README", "a longer text")
        os.utime(self.path("tree/app/share/README"), (T0, T0))
        self.dump("detailed-now.dat", "-dirs", "tree", "-details")
        compared = self.run_program("-compare", "detailed.dat", "detailed-now.dat")
        self.assertIn(self.p("\nMOD tree/app/share/README\n    size: "), compared.out)
        verified = self.run_program("-verify", "detailed.dat", "-dirs", "tree")
        self.assertEqual(0, verified.status)
        self.assertIn("\nDump dir: tree\nScanning.", verified.out)
        self.assertEqual(VERIFY_HEAD + result_section(compared.out),
                         "".join(line for line in verified.out.splitlines(True) if not line.startswith("Dump ")))
        # Checked against other directories, it says so.
        self.assertIn("\nWarning: the two dumps were taken of different directories or keys.\nComparsion result:\n",
                      self.run_program("-verify", "detailed.dat", "-dirs", "tree/app").out)

    def test_flow_choice_and_failures(self):
        self.make_tree("tree/a")
        self.dump("d.dat", "-dirs", "tree")
        self.assertRun(self.run_program("-compare", "d.dat", "d.dat", "-verify", "missing.dat"),
                       "Loading dump 1.\nParsing dump 1.\nLoading dump 2.\nParsing dump 2.\n"
                       "Comparing the two dumps.\nComparsion result:\nThe two dumps are identical.\n"
                       "Compare finished.\n")
        self.assertTrue(self.dump("e.dat", "-verify", "missing.dat").out.endswith("Dump created. 0 entries saved."))
        # Nothing named: every entry of the dump is gone.
        self.assertRun(self.run_program("-verify", "d.dat"),
                       VERIFY_HEAD + "Comparsion result:\n" + self.p("DEL tree\nDEL tree/a\n") + "Compare finished.\n")

        # A dump that cannot be read stops the run before the scan.
        result = self.run_program("-verify", "missing.dat", "-dirs", "tree")
        self.assertEqual(1, result.status)
        self.assertTrue(result.out.startswith(
            "Loading dump.\nAn Exception occurred:\nAn error occured when trying to open the file for reading.\n"
            "Filename: 'missing.dat'\n"), result.out)
        self.write("bad.dat", b"\x05\x00")
        self.assertRun(self.run_program("-verify", "bad.dat", "-dirs", "tree"),
                       "Loading dump.\nParsing dump.\nAn Exception occurred:\n"
                       "Error deserializing data. The data is corrupt.\n\n", status=1)
        self.assertRun(self.run_program("-verify", "a", "b"),
                       "An Exception occurred:\nToo many arguments for the flag -verify. "
                       "No more than 1 arguments allowed\n", status=1)


class VerifyRegistry(DumpTestCase):
    """A key of a real registry (Wine's)."""

    def setUp(self):
        super().setUp()
        if not IS_WINDOWS:
            self.skipTest("a POSIX system has no registry")
        self.key = "HKEY_CURRENT_USER\\Software\\VestigaVerify%d" % os.getpid()
        self.addCleanup(run_windows_tool, "reg", "delete", self.key, "/f", cwd=self.dir)

    def reg_add(self, *args):
        result = run_windows_tool("reg", "add", *args, "/f", cwd=self.dir)
        self.assertEqual(0, result.status, result.raw + result.err)

    def test_a_changed_key_gives_the_report_of_compare(self):
        self.reg_add(self.key, "/v", "Version", "/d", "1.0")
        self.reg_add(self.key + "\\Plugins", "/v", "Old", "/d", "x")
        self.dump("old.dat", "-regdirs", self.key)
        self.assertRun(self.run_program("-verify", "old.dat", "-regdirs", self.key),
                       VERIFY_HEAD + "Comparsion result:\nThe two dumps are identical.\nCompare finished.\n")

        self.reg_add(self.key, "/v", "Version", "/d", "2.0")
        self.reg_add(self.key + "\\Added", "/v", "New", "/d", "y")
        run_windows_tool("reg", "delete", self.key + "\\Plugins", "/v", "Old", "/f", cwd=self.dir)
        self.dump("new.dat", "-regdirs", self.key)
        compared = self.run_program("-compare", "old.dat", "new.dat")
        self.assertEqual("Comparsion result:\nCRE %s\\Added\nCRE %s\\Added\\New\nDEL %s\\Plugins\\Old\n"
                         "MOD %s\\Version\nCompare finished.\n" % ((self.key,) * 4), result_section(compared.out))
        self.assertRun(self.run_program("-verify", "old.dat", "-regdirs", self.key),
                       VERIFY_HEAD + result_section(compared.out))
