"""Headless Chromium driven through its DevTools protocol over a pipe, with
nothing but the standard library: open a page, evaluate script in it, take
a screenshot."""

import base64
import fcntl
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--remote-debugging-pipe"]


class BrowserUnavailable(Exception):
    pass


class Browser:
    def __init__(self, timeout=60):
        program = shutil.which("chromium") or shutil.which("chromium-browser")
        if not program:
            raise BrowserUnavailable("chromium is not installed")
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="chromium-profile-")
        # The browser reads commands from its descriptor 3 and writes replies
        # to 4; its ends of the pipes are first moved clear of those numbers.
        commands_read, self._commands = os.pipe()
        self._replies, replies_write = os.pipe()
        child_ends = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (commands_read, replies_write)]
        os.close(commands_read)
        os.close(replies_write)

        def pipes_as_3_and_4():
            os.dup2(child_ends[0], 3)
            os.dup2(child_ends[1], 4)

        self.process = subprocess.Popen(
            [program] + FLAGS + ["--user-data-dir=" + self.profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(3, 4), preexec_fn=pipes_as_3_and_4)
        for fd in child_ends:
            os.close(fd)
        self._buffer = b""
        self._next_id = 0
        self.session = None
        try:
            targets = self.call("Target.getTargets")["targetInfos"]
            page = next(t for t in targets if t["type"] == "page")
            self.session = self.call("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]
        except (OSError, BrowserUnavailable, StopIteration, KeyError) as error:
            self.close()
            raise BrowserUnavailable("chromium does not start: %s" % error)

    def close(self):
        if self.process.poll() is None:
            try:
                self.timeout = 5
                self.call("Browser.close", session=False)
                self.process.wait(5)
            except (OSError, BrowserUnavailable, RuntimeError, subprocess.TimeoutExpired):
                self.process.kill()
        self.process.wait()
        for fd in (self._commands, self._replies):
            try:
                os.close(fd)
            except OSError:
                pass
        shutil.rmtree(self.profile, True)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise BrowserUnavailable("chromium does not answer")
            ready, _, _ = select.select([self._replies], [], [], 0.5)
            if ready:
                chunk = os.read(self._replies, 1 << 20)
                if not chunk:
                    raise BrowserUnavailable("chromium closed its pipe")
                self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=True, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._commands, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + self.timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") != self._next_id:
                continue
            if "error" in reply:
                raise RuntimeError("%s: %s" % (method, reply["error"]))
            return reply["result"]

    def evaluate(self, expression):
        """The value of a script expression in the page; a thrown exception fails."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def open(self, path, ready="document.body && document.body.dataset.ready === 'true'"):
        """Opens a local file and waits until `ready` holds; returns the seconds taken."""
        start = time.monotonic()
        self.call("Page.navigate", url="file://" + os.path.abspath(path))
        deadline = start + self.timeout
        while not self.evaluate("!!(%s)" % ready):
            if time.monotonic() > deadline:
                raise RuntimeError("the page did not become ready: " + path)
            time.sleep(0.05)
        return time.monotonic() - start

    def screenshot(self, path, width=1000, height=640):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                  mobile=False)
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))
