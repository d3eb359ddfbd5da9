"""A small DevTools-protocol client for headless Chromium over --remote-debugging-pipe (no sockets, no
third-party modules)."""

import base64
import fcntl
import json
import os
import queue
import subprocess
import tempfile
import threading
import time


class PageError(Exception):
    pass


class Browser:
    def __init__(self, chromium, extra_args=()):
        self._profile = tempfile.TemporaryDirectory(prefix="orvia-page-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()

        def use_pipe_fds():
            # Chromium expects its command pipe on fd 3 and its answers on fd 4; stage through high numbers
            # so the two dup2 calls cannot overwrite each other.
            read_end = fcntl.fcntl(to_browser_read, fcntl.F_DUPFD, 10)
            write_end = fcntl.fcntl(from_browser_write, fcntl.F_DUPFD, 10)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        self._process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--no-default-browser-check",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--remote-debugging-pipe", f"--user-data-dir={self._profile.name}", *extra_args, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, close_fds=False,
            preexec_fn=use_pipe_fds)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._next_id = 0
        self._replies = {}
        self._events = queue.Queue()
        self._lock = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        pending = b""
        while True:
            chunk = os.read(self._from_browser, 65536)
            if not chunk:
                break
            pending += chunk
            *messages, pending = pending.split(b"\0")
            for raw in messages:
                message = json.loads(raw)
                if "id" in message:
                    with self._lock:
                        self._replies[message["id"]] = message
                        self._lock.notify_all()
                else:
                    self._events.put(message)
        with self._lock:
            self._replies[None] = {"error": {"message": "browser closed the pipe"}}
            self._lock.notify_all()

    def call(self, method, params=None, session=None, timeout=15):
        with self._lock:
            self._next_id += 1
            ident = self._next_id
        message = {"id": ident, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        with self._lock:
            while ident not in self._replies and None not in self._replies:
                if not self._lock.wait(max(0, deadline - time.monotonic())):
                    raise PageError(f"{method}: no answer within {timeout} s")
            reply = self._replies.pop(ident, None) or self._replies[None]
        if "error" in reply:
            raise PageError(f"{method}: {reply['error'].get('message')}")
        return reply["result"]

    def events(self):
        """Everything the browser reported since the last call, in order."""
        drained = []
        while not self._events.empty():
            drained.append(self._events.get_nowait())
        return drained

    def next_event(self, timeout):
        return self._events.get(timeout=timeout)

    def close(self):
        try:
            self.call("Browser.close", timeout=5)
            self._process.wait(timeout=10)
        except (PageError, OSError, subprocess.TimeoutExpired):
            self._process.kill()
            self._process.wait()
        os.close(self._to_browser)
        self._profile.cleanup()


class Page:
    """One tab with its own session; collects script errors while it lives."""

    def __init__(self, browser, width, height):
        self.browser = browser
        self.target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = browser.call("Target.attachToTarget", {"targetId": self.target, "flatten": True})["sessionId"]
        self.problems = []
        self._loaded = False
        for domain in ("Page", "Runtime", "Log"):
            self.call(f"{domain}.enable")
        self.resize(width, height)

    def call(self, method, params=None, timeout=15):
        result = self.browser.call(method, params, self.session, timeout)
        self._collect(self.browser.events())
        return result

    def _collect(self, events):
        for event in events:
            if event.get("sessionId") != self.session:
                continue
            method, params = event["method"], event.get("params", {})
            if method == "Page.loadEventFired":
                self._loaded = True
            elif method == "Runtime.exceptionThrown":
                details = params["exceptionDetails"]
                text = details.get("exception", {}).get("description") or details.get("text")
                self.problems.append(f"uncaught: {text}")
            elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "assert", "warning"):
                words = " ".join(str(arg.get("value", arg.get("description", ""))) for arg in params["args"])
                self.problems.append(f"console.{params['type']}: {words}")
            elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
                entry = params["entry"]
                # The token left unreplaced is requested as a relative file; that miss is expected.
                if not entry.get("url", "").endswith("/ORVIA_DEFAULT_FACE_DATA"):
                    self.problems.append(f"log: {entry['text']} {entry.get('url', '')}")

    def on_new_document(self, source):
        self.call("Page.addScriptToEvaluateOnNewDocument", {"source": source})

    def open(self, url, timeout=15):
        self._loaded = False
        self.call("Page.navigate", {"url": url})
        deadline = time.monotonic() + timeout
        while not self._loaded:
            if time.monotonic() > deadline:
                raise PageError(f"{url} did not finish loading")
            try:
                self._collect([self.browser.next_event(0.2)])
            except queue.Empty:
                pass

    def resize(self, width, height):
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def eval(self, expression):
        reply = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in reply:
            raise PageError(f"{expression}: {reply['exceptionDetails'].get('text')}")
        return reply["result"].get("value")

    def wait_for(self, expression, timeout=5):
        deadline = time.monotonic() + timeout
        while True:
            value = self.eval(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise PageError(f"still false after {timeout} s: {expression}")
            time.sleep(0.1)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as file:
            file.write(base64.b64decode(data))

    def close(self):
        self.browser.call("Target.closeTarget", {"targetId": self.target})
