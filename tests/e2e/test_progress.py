"""The status line of a long scan: on a terminal's standard error only."""

import os
import pty
import subprocess

from vestiga import IS_WINDOWS, PROGRAM, ProgramTestCase

DUMP_OUTPUT = ("Creating dump. Please be patient.\nSerializing dump.\nSaving dump.\n"
               "Dump created. 4 entries saved.")


class Progress(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.write("tree/a.txt", "a")
        self.write("tree/sub/b.txt", "b")

    def test_nothing_on_standard_error_when_it_is_not_a_terminal(self):
        result = self.run_program("-dump", "d.dat", "-dirs", "tree")
        self.assertRun(result, DUMP_OUTPUT)
        self.assertEqual(b"", result.err)

    def test_status_line_on_a_terminal_is_erased_at_the_end(self):
        if IS_WINDOWS:
            self.skipTest("a POSIX pseudo-terminal")
        master, slave = pty.openpty()
        completed = subprocess.run([PROGRAM, "-dump", "d.dat", "-dirs", "tree"], cwd=self.dir,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=slave,
                                   timeout=60)
        os.close(slave)
        shown = b""
        try:
            while True:
                chunk = os.read(master, 4096)
                if not chunk:
                    break
                shown += chunk
        except OSError:
            pass
        os.close(master)

        self.assertEqual(DUMP_OUTPUT.encode(), completed.stdout)
        text = shown.decode("latin-1")
        # The first stage, named: each stage counts on its own.
        self.assertRegex(text, r"^\rListing: 0 entries, 0:\d\d, tree")
        # The last thing written blanks the line and returns to its start.
        last = text.rsplit("\r", 2)
        self.assertEqual("", last[-1])
        self.assertTrue(last[-2].strip() == "" and len(last[-2]) > 0, repr(text))
