"""Runs the real program, native or Windows under Wine, as a user runs it."""

import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest

PROGRAM = os.environ.get("VESTIGA_PROGRAM", "")
RUNNER = os.environ.get("VESTIGA_RUNNER", "")
SCRATCH = os.environ.get("VESTIGA_SCRATCH", tempfile.gettempdir())
IS_WINDOWS = PROGRAM.endswith(".exe")
SEP = "\\" if IS_WINDOWS else "/"

# The system's English texts for the error codes the tests meet: those of
# Windows, which the POSIX program gives too, and Wine's own wording.
_SYSTEM_TEXTS = {
    2: ("The system cannot find the file specified.", "File not found."),
    3: ("The system cannot find the path specified.", "Path not found."),
}


def system_error(code):
    """The line that gives the system's text for an error code in a message."""
    windows_text, wine_text = _SYSTEM_TEXTS[code]
    return "System error message: " + (wine_text if IS_WINDOWS and RUNNER else windows_text) + "\r\n"


HELP = (
    "Vestiga Lite v1.00 by Quorvane Software.\n"
    "http://www.quorvane.com/vestiga/\n"
    "\n"
    "This is a command line program, please run it from a DOS prompt.\n"
    "A brief guide how to run a command line program:\n"
    "http://www.quorvane.com/vestiga/commandline.html\n"
    "\n"
    "Examples:\n"
    "Display help and version information\n"
    "vestiga.exe -help\n"
    "\n"
    "Create a dump of c:\\ and d:\\.\n"
    "vestiga.exe -dump dump.dat -dirs c:\\ d:\\\n"
    "\n"
    "Compare two dumps.\n"
    "vestiga.exe -compare olddump.dat newdump.dat\n"
    "\n"
    "Compare two dumps and ignore the all files in 'ignore.txt'.\n"
    "vestiga.exe -compare olddump.dat newdump -ignore ignore.txt\n"
    "\n"
    "Please view the manual and faq for a thorough description of the program,\n"
    "its features and more examples how to use the program.\n"
)


def system_path(path):
    """An absolute path of this machine as the program names it: below Wine's
    drive Z: for the Windows program."""
    return "Z:" + path.replace("/", "\\") if IS_WINDOWS else path


def run_windows_tool(*args, cwd):
    """Runs one of Wine's own programs (reg, for instance) in the prefix the
    Windows program's tests run in."""
    prefix = os.path.join(os.path.dirname(os.path.abspath(PROGRAM)), "wineprefix")
    env = dict(os.environ, WINEPREFIX=prefix)
    return run_command([RUNNER] + list(args), cwd=cwd, env=env)


class Result:
    def __init__(self, status, out, err):
        self.status = status
        self.raw = out
        self.out = out.decode("latin-1")
        self.err = err


def run(*args, cwd, stdin=b"", preexec_fn=None, env=None, timeout=600):
    command = ([RUNNER] if RUNNER else []) + [PROGRAM] + list(args)
    return run_command(command, cwd=cwd, stdin=stdin, preexec_fn=preexec_fn, env=env, timeout=timeout)


def run_command(command, cwd, stdin=b"", preexec_fn=None, env=None, timeout=600):
    # Output goes to files, not pipes: helper processes that Wine starts for a
    # prefix live on and would hold a pipe open long after the program ended.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        completed = subprocess.run(command, cwd=cwd, input=stdin, stdout=out, stderr=err,
                                   preexec_fn=preexec_fn, env=env, timeout=timeout)
        out.seek(0)
        err.seek(0)
        return Result(completed.returncode, out.read(), err.read())


class ProgramTestCase(unittest.TestCase):
    """Each test runs in a fresh directory of its own."""

    def setUp(self):
        if not PROGRAM:
            self.skipTest("VESTIGA_PROGRAM is not set")
        self.dir = tempfile.mkdtemp(prefix="e2e-", dir=SCRATCH)
        self.addCleanup(shutil.rmtree, self.dir, True)

    def run_program(self, *args, **kwargs):
        return run(*args, cwd=self.dir, **kwargs)

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def write(self, name, data):
        full = self.path(name)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("latin-1"))
        return full

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def assertRun(self, result, out, status=0):
        self.assertEqual(out, result.out)
        self.assertEqual(status, result.status, result.err.decode("latin-1"))

    def exists(self, name):
        return os.path.exists(self.path(name))


def dump_bytes(*entries):
    """Dump file bytes of (path, fingerprint) records, in the given order."""
    data = b""
    for path, fingerprint in entries:
        raw = path if isinstance(path, bytes) else path.encode("latin-1")
        data += struct.pack("<I", len(raw)) + raw + struct.pack("<Q", fingerprint)
    return data


# The characters a name is quoted for: controls but TAB, DEL, C1 controls and
# the bidirectional controls, in UTF-8.
_QUOTED_FOR = re.compile(rb"[\x00-\x08\x0a-\x1f\x7f]|\xc2[\x80-\x9f]|\xd8\x9c"
                         rb"|\xe2\x80[\x8e\x8f\xaa-\xae]|\xe2\x81[\xa6-\xa9]")
_ESCAPES = {b"\\": b"\\\\", b'"': b'\\"', b"\n": b"\\n", b"\r": b"\\r", b"\t": b"\\t"}


def shown_name(raw):
    """A name (bytes) as listings and reports show it."""
    if not raw.startswith(b'"') and not _QUOTED_FOR.search(raw):
        return raw
    pattern = re.compile(rb'[\\"\t]|' + _QUOTED_FOR.pattern)
    return b'"' + pattern.sub(lambda m: _ESCAPES.get(m.group(), b"".join(b"\\%03o" % c for c in m.group())),
                              raw) + b'"'
