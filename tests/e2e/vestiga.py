"""Runs the real program, native or Windows under Wine, as a user runs it."""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest

PROGRAM = os.environ.get("VESTIGA_PROGRAM", "")
RUNNER = os.environ.get("VESTIGA_RUNNER", "")
SCRATCH = os.environ.get("VESTIGA_SCRATCH", tempfile.gettempdir())
IS_WINDOWS = PROGRAM.endswith(".exe")
# The program was built with the address and undefined-behaviour sanitizers.
SANITIZED = bool(os.environ.get("VESTIGA_SANITIZED"))
SEP = "\\" if IS_WINDOWS else "/"

# The system's English texts for the error codes the tests meet: those of
# Windows, which the POSIX program gives too, and Wine's own wording. Windows
# ends them in CR LF, the POSIX program as every POSIX line.
SYSTEM_TEXT_END = "\r\n" if IS_WINDOWS else "\n"
_SYSTEM_TEXTS = {
    2: ("The system cannot find the file specified.", "File not found."),
    3: ("The system cannot find the path specified.", "Path not found."),
}


def system_error(code):
    """The line that gives the system's text for an error code in a message."""
    windows_text, wine_text = _SYSTEM_TEXTS[code]
    return "System error message: " + (wine_text if IS_WINDOWS and RUNNER else windows_text) + SYSTEM_TEXT_END


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


# The characters a name is quoted for beyond the control bytes but TAB and
# DEL: C1 controls, bidirectional controls, line and paragraph separators,
# invisible format characters, tag characters and encoded surrogates.
def _quoted_for(point):
    return (0x80 <= point <= 0x9F or point == 0x61C or 0x200B <= point <= 0x200F or 0x2028 <= point <= 0x202E
            or 0x2060 <= point <= 0x2064 or 0x2066 <= point <= 0x2069 or 0xD800 <= point <= 0xDFFF
            or point == 0xFEFF or 0xE0000 <= point <= 0xE007F)


def _characters(raw):
    """(bytes, quoted for) for each character of a name; a byte that is not
    part of valid UTF-8 is a character of its own, quoted for."""
    i = 0
    while i < len(raw):
        lead = raw[i]
        if lead < 0x80:
            yield raw[i:i + 1], (lead < 0x20 and lead != 0x09) or lead == 0x7F
            i += 1
            continue
        length = 2 if 0xC2 <= lead <= 0xDF else 3 if 0xE0 <= lead <= 0xEF else 4 if 0xF0 <= lead <= 0xF4 else 0
        part = raw[i:i + length]
        point = None
        if length and len(part) == length and all(0x80 <= b <= 0xBF for b in part[1:]):
            point = lead & (0x7F >> length)
            for b in part[1:]:
                point = (point << 6) | (b & 0x3F)
            if point < (0x80, 0x800, 0x10000)[length - 2] or point > 0x10FFFF:
                point = None
        if point is None:
            yield raw[i:i + 1], True
            i += 1
        else:
            yield part, _quoted_for(point)
            i += length


_ESCAPES = {b"\\": b"\\\\", b'"': b'\\"', b"\n": b"\\n", b"\r": b"\\r", b"\t": b"\\t"}


def shown_name(raw):
    """A name (bytes) as listings and reports show it."""
    characters = list(_characters(raw))
    if not raw.startswith(b'"') and not any(quoted for _, quoted in characters):
        return raw
    return b'"' + b"".join(_ESCAPES.get(c, b"".join(b"\\%03o" % b for b in c) if quoted else c)
                           for c, quoted in characters) + b'"'
