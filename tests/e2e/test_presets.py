"""The Linux preset on a real system: churn is left out, real changes stay."""

import os
import time

from vestiga import IS_WINDOWS, ProgramTestCase

PRESET = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "presets", "linux-ignore.txt")


class LinuxPreset(ProgramTestCase):
    def test_two_dumps_of_a_live_system_show_only_the_real_change(self):
        if IS_WINDOWS or os.getuid() != 0:
            self.skipTest("a live Linux system, as root")
        tag = "vestiga-e2e-%d" % os.getpid()
        dirs = ["/etc", "/tmp", "/var/log", "/var/cache", "/var/tmp"]
        churn = ["/tmp/" + tag, "/var/log/%s.log" % tag, "/var/cache/" + tag, "/var/tmp/" + tag]
        real = "/etc/%s.conf" % tag
        self.addCleanup(lambda: [os.remove(p) for p in churn + [real] if os.path.exists(p)])

        first = self.run_program("-dump", "before.dat", "-dirs", *dirs, "-ignore", PRESET)
        self.assertEqual(0, first.status, first.out)
        time.sleep(1.1)
        for path in churn:
            with open(path, "w") as f:
                f.write("churn")
        with open(real, "w") as f:
            f.write("setting=1\n")
        second = self.run_program("-dump", "after.dat", "-dirs", *dirs, "-ignore", PRESET)
        self.assertEqual(0, second.status, second.out)

        report = self.run_program("-compare", "before.dat", "after.dat", "-ignore", PRESET)
        differences = report.out.split("Comparsion result:\n")[1]
        self.assertEqual("CRE %s\nMOD /etc\nCompare finished.\n" % real, differences)
