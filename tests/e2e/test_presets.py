"""The Linux preset on a tree laid out like a Linux system: churn is left out, real changes stay."""

import os
import re

from vestiga import IS_WINDOWS, ProgramTestCase

PRESET = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "presets", "linux-ignore.txt")
PAST = 1_600_000_000


class LinuxPreset(ProgramTestCase):
    def test_two_dumps_show_only_the_real_change(self):
        if IS_WINDOWS:
            self.skipTest("POSIX paths")
        # The system's directories, below a root of the test's own that no
        # other process writes to; the preset's patterns are moved below it.
        root = self.path("root")
        with open(PRESET) as f:
            patterns = [line for line in f.read().splitlines() if line]
        self.write("ignore.txt", "".join("%s(?:%s)\n" % (re.escape(root), p) for p in patterns))
        dirs = [root + d for d in ("/etc", "/tmp", "/var/log", "/var/cache", "/var/tmp", "/root")]
        for d in dirs:
            os.makedirs(d)
        self.write("root/etc/hostname", "host\n")
        self.write("root/etc/adjtime", "0.0 0 0.0\n")
        self.write("root/var/log/syslog", "boot\n")
        self.write("root/root/.bash_history", "ls\n")
        for top, subdirs, files in os.walk(root):
            for name in subdirs + files:
                os.utime(os.path.join(top, name), (PAST, PAST))

        first = self.run_program("-dump", "before.dat", "-dirs", *dirs, "-ignore", "ignore.txt")
        self.assertEqual(0, first.status, first.out)
        churn = ["/tmp/session", "/var/log/syslog", "/var/cache/index", "/var/tmp/scratch", "/etc/adjtime",
                 "/root/.bash_history"]
        for path in churn:
            self.write("root" + path, "churn")
        real = root + "/etc/app.conf"
        self.write("root/etc/app.conf", "setting=1\n")
        second = self.run_program("-dump", "after.dat", "-dirs", *dirs, "-ignore", "ignore.txt")
        self.assertEqual(0, second.status, second.out)

        report = self.run_program("-compare", "before.dat", "after.dat", "-ignore", "ignore.txt")
        differences = report.out.split("Comparsion result:\n")[1]
        self.assertEqual("CRE %s\nMOD %s/etc\nCompare finished.\n" % (real, root), differences)
