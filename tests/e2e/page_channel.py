"""A test page for the real program, talking to the test through a loopback HTTP server.

`Channel` is that server. `PageChannel` also writes a copy of the program beside a resource bundle
whose page polls the channel for scripts, runs each (awaiting promises) and posts the result back, so
a test can make the page do anything a page can: post script messages, call getUserMedia, read the
shipped page's state.
"""

import contextlib
import http.server
import json
import os
import pathlib
import queue
import shutil
import threading
import unittest

from kiosk import BUILD_DIR, PROGRAM, Desktop, wait_until

MOCK_DEVICES = os.environ.get("ORVIA_MOCK_CAPTURE_DEVICES", "").upper() in ("ON", "1", "TRUE", "YES")
needs_mock_devices = unittest.skipUnless(MOCK_DEVICES, "needs a build with -DORVIA_MOCK_CAPTURE_DEVICES=ON")
# The engine then hears only its pretend devices.
needs_real_devices = unittest.skipIf(MOCK_DEVICES, "needs a build with -DORVIA_MOCK_CAPTURE_DEVICES=OFF")

BUNDLE = "OrviaDesktop_OrviaDesktop.bundle"

CHANNEL = """<script>
const channel = "http://127.0.0.1:PORT";
async function serve() {
  for (;;) {
    try {
      const response = await fetch(channel + "/script", {cache: "no-store"});
      if (response.status === 200) {
        const script = await response.text();
        let result;
        try {
          result = {value: String(await (0, eval)(script))};
        } catch (error) {
          result = {error: String(error)};
        }
        await fetch(channel + "/result", {method: "POST", body: JSON.stringify(result)});
      }
    } catch (error) {
    }
    await new Promise(resolve => setTimeout(resolve, 50));
  }
}
serve();
</script>
"""
PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>test page</title></head>
<body style="margin:0;background:#2e3440;color:#eceff4;font:24px sans-serif">
<p>Orvia end-to-end test page</p>
CHANNEL</body></html>
"""


class LoopbackServer:
    """An HTTP server on a free loopback port, in a thread of its own: `answer(request)` gives each
    request's (status, body, headers)."""

    def __init__(self):
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                status, body, headers = server.answer(self)
                self.send_response(status)
                for name, value in {**headers, "Content-Length": str(len(body))}.items():
                    self.send_header(name, value)
                self.end_headers()
                self.wfile.write(body)

            do_POST = do_GET

            def log_message(self, *args):
                pass

        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self._server.server_port
        self.address = f"http://127.0.0.1:{self.port}"
        threading.Thread(target=self._server.serve_forever, daemon=True).start()

    def close(self):
        self._server.shutdown()
        self._server.server_close()


class Channel(LoopbackServer):
    """A GET gives the next script queued for the page (204 when none), a POST puts its JSON body (a
    script's result or a page's report) into `posted`."""

    def __init__(self):
        self._scripts, self.posted, self.requests = queue.Queue(), queue.Queue(), 0
        super().__init__()

    def answer(self, request):
        allowed = {"Access-Control-Allow-Origin": "*"}
        if request.command == "POST":
            self.posted.put(json.loads(request.rfile.read(int(request.headers.get("Content-Length", 0)))))
            return 200, b"", allowed
        self.requests += 1
        with contextlib.suppress(queue.Empty):
            return 200, self._scripts.get_nowait().encode(), allowed
        return 204, b"", allowed

    def collect(self, frames, timeout=30.0):
        """Waits for one report from each named frame and gives them by frame."""
        found = {}
        while set(frames) - set(found):
            try:
                report = self.posted.get(timeout=timeout)
            except queue.Empty:
                missing = set(frames) - set(found)
                raise AssertionError(f"no report from {missing} within {timeout}s; have {str(found)[:500]}") from None
            found.setdefault(report["frame"], report)
        return found


class PageChannel(Channel):
    """The page is a plain one, or with `bundled` a copy of the shipped page with the channel's script
    at its end and the prelude, when given, run before the page's own script."""

    def __init__(self, folder, bundled=False, prelude=""):
        super().__init__()
        folder = pathlib.Path(folder)
        self.resources = resources = folder / BUNDLE / "Resources"
        channel_script = CHANNEL.replace("PORT", str(self.port))
        if bundled:
            shutil.copytree(BUILD_DIR / BUNDLE / "Resources", resources)
            page = resources / "index.html"
            html = page.read_text().replace("</body>", channel_script + "</body>", 1)
            if prelude:
                html = html.replace('<script src="orvia.js">', f'<script>{prelude}</script><script src="orvia.js">', 1)
            page.write_text(html)
        else:
            resources.mkdir(parents=True)
            (resources / "index.html").write_text(PAGE.replace("CHANNEL", channel_script))
        self.program = folder / "OrviaDesktop"
        shutil.copy2(PROGRAM, self.program)

    def wait_for_page(self, timeout=30):
        wait_until(lambda: self.requests > 0, timeout, message="the test page polling its channel")

    def run(self, script, timeout=20):
        """Runs the script in the page and returns its result's text (raises on a script error)."""
        self._scripts.put(script)
        result = self.posted.get(timeout=timeout)
        if "error" in result:
            raise AssertionError(f"page script failed: {result['error']}")
        return result["value"]

    def post(self, body):
        """Posts a script message to the program's "orvia" handler, as the web interface does."""
        return self.run(f"window.webkit.messageHandlers.orvia.postMessage({json.dumps(body)})")

    def click(self, desktop, window, selector, button=1):
        """Clicks the middle of a page element with the pointer, as a person would."""
        box = json.loads(self.run(
            f"const r = document.querySelector({json.dumps(selector)}).getBoundingClientRect();"
            "JSON.stringify({x: r.left + r.width / 2, y: r.top + r.height / 2,"
            " width: innerWidth, height: innerHeight})"))
        frame = desktop.geometry(window)
        # The web view fills the window below anything the window puts above it.
        x = frame.x + frame.width - box["width"] + box["x"]
        y = frame.y + frame.height - box["height"] + box["y"]
        desktop.x(["xdotool", "mousemove", "--sync", str(round(x)), str(round(y)), "click", str(button)])


class PageProgramTest(unittest.TestCase):
    """Each test starts the real program with a channel page on its own desktop of the given screen
    size, and waits until the interface fills the work area."""

    bundled = False
    prelude = ""
    screen = (1440, 900)
    launch_env = None

    def setUp(self):
        self.desktop = Desktop(*self.screen)
        self.addCleanup(self.desktop.close)
        self.page = PageChannel(self.desktop.home / "app", bundled=self.bundled, prelude=self.prelude)
        self.addCleanup(self.page.close)
        self.before_launch()
        self.program, self.interface = self.desktop.start(self.page.program, env=self.launch_env)
        self.page.wait_for_page()
        self.work_area = self.desktop.work_area()

    def before_launch(self):
        """What a test case needs in place before the program starts (its page is written by then)."""
