"""The command line: help, the wait for Enter, parse errors and exit status."""

import re

from vestiga import HELP, ProgramTestCase

ASSERTION_REPORT = re.compile(
    r"-{40}\nAssertion failed\. Message: false\nFile: src/app/App\.cpp\nLine: \d+\n"
    r"Occurred: [A-Z][a-z]{2} [A-Z][a-z]{2} \d\d \d\d:\d\d:\d\d \d{4}\n\n"
    r"Please contact support@quorvane\.com and include this message\.\n"
    r"Thank you for helping us improve the software\.\n-{40}\n")


class Help(ProgramTestCase):
    def test_help_flag_prints_the_help_and_does_not_wait(self):
        self.assertRun(self.run_program("-help"), HELP)

    def test_help_wins_over_every_other_flow(self):
        self.assertRun(self.run_program("-print", "missing.dat", "-help", "-dump", "x.dat"), HELP)
        self.assertFalse(self.exists("x.dat"))

    def test_no_arguments_shows_help_and_waits_for_enter(self):
        self.assertRun(self.run_program(stdin=b"\n"), HELP + "Press 'enter' to exit.\n")

    def test_no_arguments_with_closed_input_still_ends(self):
        self.assertRun(self.run_program(stdin=b""), HELP + "Press 'enter' to exit.\n")


class ParseErrors(ProgramTestCase):
    def assertFails(self, args, message):
        self.assertRun(self.run_program(*args), "An Exception occurred:\n" + message + "\n", status=1)

    def test_messages(self):
        self.assertFails(["-help", "x"], "No arguments for the flag -help are allowed")
        self.assertFails(["-x"], "The flag -x is not allowed")
        self.assertFails(["-"], "The flag - is not allowed")
        self.assertFails(["dump.dat"], "The argument line should start with a flag")
        self.assertFails(["-print", ""], "The empty string is not a flag or an argument.")
        self.assertFails(["-dirs", "a", "-dirs", "b"], "The flag -dirs was used more than once.")
        self.assertFails(["-compare", "old.dat"], "Not enough arguments for the flag -compare. 2 is required.")
        self.assertFails(["-dump", "a.dat", "b.dat"],
                         "Too many arguments for the flag -dump. No more than 1 arguments allowed")
        self.assertFails(["-dump", "a", "b", "-compare", "c"],
                         "Not enough arguments for the flag -compare. 2 is required.")


class NoFlow(ProgramTestCase):
    def test_dirs_alone_reports_the_failed_check_and_exits_zero(self):
        result = self.run_program("-dirs", "somewhere")
        self.assertEqual(0, result.status)
        self.assertRegex(result.out, "^" + ASSERTION_REPORT.pattern + "$")
        with open(self.path("assertion.txt"), "rb") as f:
            stored = f.read().decode("latin-1").replace("\r\n", "\n")
        self.assertEqual(result.out, stored)

    def test_ignore_alone_loads_the_patterns_first(self):
        self.write("ignore.txt", "a.*\n")
        result = self.run_program("-ignore", "ignore.txt")
        self.assertEqual(0, result.status)
        self.assertRegex(result.out, "^Loading ignore file.\nCompiling regular expressions in ignore file.\n"
                                     "Compiling done.\n" + ASSERTION_REPORT.pattern + "$")
