"""The README's Linux example, run as written, command by command, with the
build's program on a scratch tree in place of /etc, /usr, /opt and /var."""

import os
import re
import subprocess

from vestiga import IS_WINDOWS, PROGRAM, ProgramTestCase

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SECTION = "## Example: what does installing a package change? (Linux)"
INSTALL = "sudo apt install ./build/packages/"
T0 = 1_600_000_000
T1 = 1_700_000_000


def example_steps():
    """(command, shown output) for each command of the example, in order. A
    prompt after the last line of an output stands for a missing line end."""
    with open(os.path.join(SOURCE, "README.md"), encoding="utf-8") as f:
        text = f.read()
    section = text[text.index(SECTION) + len(SECTION):]
    section = section[:re.search(r"^#", section, re.M).start()]
    steps = []
    for line in (line[4:] for line in section.split("\n") if line.startswith("    ")):
        output, prompt, command = line.partition("$ ")
        if steps and output:
            steps[-1][1].append(output.rstrip("$") if prompt or output.endswith("$") else output + "\n")
        if prompt:
            steps.append((command, []))
    return steps


class LinuxExample(ProgramTestCase):
    def setUp(self):
        super().setUp()
        if IS_WINDOWS:
            self.skipTest("the example is the Linux one")
        self.root = self.path("root")

    def system_path(self, text):
        """The text with the dumped system directories moved into the scratch root."""
        return re.sub(r"(?<=[ '])/(etc|usr|opt|var)\b", lambda m: self.root + m.group(0), text)

    def shown_pattern(self, line):
        """A pattern for a line the README shows: "..." for any lines, any
        number of entries, any fingerprint."""
        if line == "...\n":
            return r"(?:[^\n]*\n)*?"
        line = self.system_path(line)
        counted = re.match(r"Dump created\. \d+( .*)$", line, re.S)
        if counted:
            return r"Dump created\. (\d+)" + re.escape(counted.group(1))
        listed = re.match(r"[0-9A-F]{16}( .*)$", line, re.S)
        if listed:
            return "[0-9A-F]{16}" + re.escape(listed.group(1))
        return re.escape(line)

    def make(self, path, directory):
        full = self.root + path
        if directory:
            os.makedirs(full, exist_ok=True)
        else:
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write(path)

    def install(self, created, modified, paths):
        """What the package's installation does to the tree: the report's new
        paths appear, the program among them, and its changed paths get a new
        time."""
        for path in created:
            self.make(path, any(other.startswith(path + "/") for other in paths))
        with open(self.root + "/usr/bin/vestiga", "w") as f:
            f.write('#!/bin/sh\nexec "%s" "$@"\n' % os.path.abspath(PROGRAM))
        os.chmod(self.root + "/usr/bin/vestiga", 0o755)
        for path in created + modified:
            os.utime(self.root + path, (T1, T1))

    def copy_preset(self):
        """The Linux preset, but for the patterns that leave out the scratch
        tree itself, which may lie in a directory the preset ignores (/tmp)."""
        with open(os.path.join(SOURCE, "presets", "linux-ignore.txt"), encoding="utf-8") as f:
            patterns = f.read().splitlines()
        ancestors = [self.root[:i] for i in range(1, len(self.root) + 1) if self.root[i:i + 1] in ("/", "")]
        kept = [p for p in patterns if not any(re.fullmatch(p, ancestor) for ancestor in ancestors)]
        with open(self.path("presets", "linux-ignore.txt"), "w", encoding="utf-8") as f:
            f.write("".join(p + "\n" for p in kept))

    def test_the_commands_run_in_order_and_print_what_the_readme_shows(self):
        steps = example_steps()
        commands = [command for command, _ in steps]
        self.assertEqual(1, sum(command.startswith(INSTALL) for command in commands), commands)
        installed = next(i for i, command in enumerate(commands) if command.startswith(INSTALL))
        # The installed program and preset are used only once they are installed.
        for command in commands[:installed]:
            self.assertNotRegex(command, r"(^|sudo |\| )vestiga |/usr/share/vestiga", command)

        compare = next(output for command, output in steps if " -compare " in command)
        report = [line.rstrip("\n") for line in compare if line[:4] in ("CRE ", "DEL ", "MOD ")]
        created = [line[4:] for line in report if line.startswith("CRE ")]
        modified = [line[4:] for line in report if line.startswith("MOD ")]
        self.assertFalse([line for line in report if line.startswith("DEL ")])
        self.assertIn("/usr/bin/vestiga", created)

        # The system before: every path of the report but the new ones, the
        # directories above them, and /etc/hosts.
        paths = [line[4:] for line in report]
        above = {path[:i] for path in paths for i in range(1, len(path)) if path[i] == "/"}
        for path in sorted(set(modified) | above - set(created)) + ["/opt", "/etc/hosts"]:
            self.make(path, path == "/opt" or path in above)
        for top, directories, files in os.walk(self.root):
            for name in directories + files:
                os.utime(os.path.join(top, name), (T0, T0))
        os.makedirs(self.path("presets"))
        self.copy_preset()
        os.makedirs(self.path("build", "native"))
        os.symlink(os.path.abspath(PROGRAM), self.path("build", "native", "vestiga"))

        assignments = []
        counts = {}
        for command, shown in steps:
            if command.startswith(INSTALL):
                self.assertEqual([], shown)
                self.install(created, modified, paths)
                continue
            script = "\n".join(["set -o pipefail", 'sudo() { "$@"; }', "PATH=%s/usr/bin:/usr/bin:/bin" % self.root]
                               + assignments + [self.system_path(command)])
            result = subprocess.run(["bash", "-c", script], cwd=self.dir, stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE, timeout=600)
            out = result.stdout.decode("latin-1")
            self.assertEqual(0, result.returncode, command + "\n" + out + result.stderr.decode("latin-1"))
            if re.fullmatch(r"\w+=\S+", command):
                assignments.append(command)
            match = re.fullmatch("".join(self.shown_pattern(line) for line in shown), out)
            self.assertTrue(match, "%s\nshown:\n%s\nprinted:\n%s" % (command, "".join(shown), out))
            if "-dump " in command:
                shown_count = re.search(r"Dump created\. (\d+)", "".join(shown)).group(1)
                counts[command.split("-dump ")[1].split()[0]] = (int(shown_count), int(match.group(1)))
        # The second dump holds the new paths besides what the first one held, in the README as here.
        (shown_before, before), (shown_after, after) = counts["before.dat"], counts["after.dat"]
        self.assertEqual(len(created), shown_after - shown_before)
        self.assertEqual(len(created), after - before)
