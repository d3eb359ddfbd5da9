"""The interface page of an installed copy of the real program: loaded from the resource bundle beside
it with the kiosk identity, the login start entry (an XDG autostart desktop entry) that every launch
writes, and the page coming back when its web process or the program itself dies (in either window
mode), stops answering or holds too much memory, that process confined to the bundle. Test pages in
the copy of the bundle report to a loopback server."""

import base64
import contextlib
import itertools
import json
import os
import pathlib
import queue
import re
import resource
import shutil
import signal
import subprocess
import time
import unittest

from kiosk import (BUILD_DIR, PROGRAM, Desktop, ancestry, assert_ended_for_good, process_status, wait_until,
                   web_processes)
from page_channel import BUNDLE as BUNDLE_NAME, Channel

SUPERVISOR_NAME = "OrviaDesktop-supervisor"
BUNDLE = BUILD_DIR / BUNDLE_NAME
MADE_IDENTIFIER = re.compile(r"orvia-kiosk-[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}")

# The page's first script checks the globals and says when the page is paused; a frame beside it,
# found through the base URL, reports its own view; the face image reports once decoded. It is dark
# all over, the face kept small.
HEAD = """<!doctype html>
<html><head><meta charset="utf-8">
<script>
  window.report = (what) => fetch("http://127.0.0.1:{port}/report",
                                   {{method: "POST", mode: "no-cors", body: JSON.stringify(what)}});
"""
PAGE = HEAD + """  window.orviaPause = () => report({{frame: "pause"}});
  report({{frame: "main", hasMemberID: "ORVIA_MEMBER_ID" in window, memberID: window.ORVIA_MEMBER_ID,
          memberIDType: typeof window.ORVIA_MEMBER_ID, kiosk: window.ORVIA_KIOSK === true}});
</script>
</head><body style="background: #2e3440">
<img id="face" src="ORVIA_DEFAULT_FACE_DATA" width="8">
<iframe src="frame.html"></iframe>
<script>
  const face = document.getElementById("face");
  face.decode().then(() => face.naturalWidth, () => -1)
      .then((width) => report({{frame: "face", src: face.getAttribute("src"), width: width}}));
</script>
</body></html>
"""

# A file frame is an origin of its own, so it reports by itself rather than through its parent.
FRAME = """<!doctype html><script>
  fetch("http://127.0.0.1:{port}/report", {{method: "POST", mode: "no-cors", body: JSON.stringify(
      {{frame: "iframe", hasMemberID: "ORVIA_MEMBER_ID" in window, hasKiosk: "ORVIA_KIOSK" in window}})}});
</script>
"""


# Its process stops answering a second after every load.
HANGING_PAGE = PAGE.replace("</script>", "  setTimeout(() => {{ for (;;) {{}} }}, 1000);\n</script>", 1)

# Once its first report is out, it fills memory in a loop that never yields (so the engine cannot look
# at its own memory meanwhile) and keeps it.
LEAKING_PAGE = PAGE.replace("</script>", """  window.kept = [];
  setTimeout(() => {{ for (let i = 0; i < {megabytes} / 8; ++i) kept.push(new Float64Array(1 << 20).fill(i)); }}, 1000);
</script>""", 1)

MB = 1024 * 1024

# Each probe reports whether the page got at the file's content.
SANDBOX_PAGE = HEAD + """  const outcome = (frame, promise) => promise.then((text) => report({{frame, read: true, text}}),
                                                   (error) => report({{frame, read: false, error: String(error)}}));
  outcome("fetch-home", fetch("{secret_url}").then((response) => response.text()));
  outcome("fetch-etc", fetch("file:///etc/hostname").then((response) => response.text()));
</script>
</head><body>
<img id="inside" src="inside.png">
<script>
  const image = new Image();
  outcome("image-home-pixels", new Promise((resolve, reject) => {{
    image.onload = resolve;
    image.onerror = () => reject(new Error("the image did not load"));
    image.src = "{secret_image_url}";
  }}).then(() => {{
    const canvas = document.createElement("canvas");
    const context = canvas.getContext("2d");
    context.drawImage(image, 0, 0);
    return String(context.getImageData(0, 0, 1, 1).data);
  }}));
  const inside = document.getElementById("inside");
  outcome("image-inside", inside.decode().then(() => String(inside.naturalWidth)));
</script>
</body></html>
"""

SECRET = "the user's own words"


def installation(folder, bundle=True):
    """A copy of the program in the folder, with its supervisor and a copy of its resource bundle
    beside it."""
    shutil.copy2(PROGRAM, folder / "OrviaDesktop")
    shutil.copy2(PROGRAM.with_name(SUPERVISOR_NAME), folder / SUPERVISOR_NAME)
    if bundle:
        shutil.copytree(BUNDLE, folder / BUNDLE_NAME)
    return folder / "OrviaDesktop"


def installed_bundle():
    """The build-time resource path: the bundle's place in the install tree this build was made for."""
    cache = (BUILD_DIR / "CMakeCache.txt").read_text()
    value = lambda name: re.search(rf"^{name}:\w+=(.*)$", cache, re.MULTILINE).group(1)
    return pathlib.Path(value("CMAKE_INSTALL_PREFIX")) / value("ORVIA_INSTALL_DIR") / BUNDLE_NAME


def stored_defaults(config_home):
    return json.loads((config_home / "ai.orvia.orvia-desktop" / "defaults.json").read_text())


def memory(pid):
    """The process's anonymous memory, resident or swapped, in bytes, as the program reads it; None once
    it has ended."""
    with contextlib.suppress(OSError):
        fields = dict(re.findall(r"^(RssAnon|VmSwap):\s+(\d+) kB", pathlib.Path(f"/proc/{pid}/status").read_text(),
                                 re.MULTILINE))
        if "RssAnon" in fields:
            return sum(int(kib) * 1024 for kib in fields.values())
    return None


class InstalledCopy(unittest.TestCase):
    """A copy of the installation in the desktop's home, and a channel for its test pages' reports."""

    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.server = Channel()
        self.addCleanup(self.server.close)
        self.folder = self.desktop.home / "installation"
        self.folder.mkdir()
        self.program_file = installation(self.folder)
        self.resources = self.folder / BUNDLE_NAME / "Resources"

    def write_page(self, page=PAGE, **fields):
        (self.resources / "index.html").write_text(page.format(port=self.server.port, **fields))
        (self.resources / "frame.html").write_text(FRAME.format(port=self.server.port))


class InterfaceLoading(InstalledCopy):
    def run_once(self, program, env=None, frames=("main",)):
        """Launches, waits for the page's reports, and ends the program again."""
        process = self.desktop.launch(program, env=env)
        try:
            return self.server.collect(frames)
        finally:
            process.kill()
            process.wait(10)

    def test_page_has_the_identity_before_its_first_script_kept_across_launches_and_exactly_as_stored(self):
        program = self.program_file
        self.write_page()
        face = (self.resources / "orvia-default.webp").read_bytes()
        config_home = pathlib.Path(self.desktop.env["XDG_CONFIG_HOME"])
        fresh = self.folder / "fresh-config"

        reports = self.run_once(program, frames=("main", "iframe", "face"))
        main = reports["main"]
        self.assertTrue(main["hasMemberID"])
        self.assertEqual(main["memberIDType"], "string")
        self.assertRegex(main["memberID"], MADE_IDENTIFIER)
        self.assertTrue(main["kiosk"])
        # Frames see neither; the face is embedded and decodes as an image.
        self.assertEqual(reports["iframe"], {"frame": "iframe", "hasMemberID": False, "hasKiosk": False})
        self.assertEqual(reports["face"]["src"], "data:image/webp;base64," + base64.b64encode(face).decode())
        self.assertGreater(reports["face"]["width"], 0)
        self.assertEqual(stored_defaults(config_home)["OrviaDesktopGuestMemberID"], main["memberID"])

        # Kept across launches, new for a fresh configuration.
        self.assertEqual(self.run_once(program)["main"]["memberID"], main["memberID"])
        other = self.run_once(program, env={"XDG_CONFIG_HOME": str(fresh)})["main"]["memberID"]
        self.assertRegex(other, MADE_IDENTIFIER)
        self.assertNotEqual(other, main["memberID"])
        self.assertEqual(stored_defaults(fresh)["OrviaDesktopGuestMemberID"], other)

        # A stored identifier reaches the page exactly, whatever it holds.
        stored = "it's a \\ back\\'slash\nline\r\n\u2028sep\u2029para </script>\"; window.ORVIA_KIOSK = false; //"
        (fresh / "ai.orvia.orvia-desktop" / "defaults.json").write_text(json.dumps({"OrviaDesktopGuestMemberID": stored}))
        main = self.run_once(program, env={"XDG_CONFIG_HOME": str(fresh)})["main"]
        self.assertEqual(main["memberID"], stored)
        self.assertTrue(main["kiosk"])

    def test_without_index_html_the_fallback_page_is_shown_and_without_a_bundle_the_program_stops(self):
        (self.resources / "index.html").unlink()
        process = self.desktop.launch(self.program_file)
        window = self.desktop.window("interface")
        wait_until(lambda: self.desktop.geometry(window).width > 900, 15, message="the expanded window")
        # Long enough for the web process to paint the page.
        wait_until(lambda: process.poll() is None and self._has_dark_text(window), 20, message="the fallback text")
        shot = self.desktop.screenshot("fallback-page.png")
        self.assertIsNone(process.poll())
        print(f"\nfallback screenshot: {shot}")
        process.kill()
        process.wait(10)

        installed = installed_bundle()
        if installed.exists():
            self.skipTest(f"the program is installed at {installed}")
        (self.folder / "bare").mkdir()
        process = self.desktop.launch(installation(self.folder / "bare", bundle=False))
        self.assertEqual(process.wait(30), 78, "EX_CONFIG: an installation that starting again cannot mend")
        # The toolkit may have warned before; the message is a whole line of its own.
        message = f"could not load resource bundle: from {self.folder / 'bare' / BUNDLE_NAME} or {installed}\n"
        self.assertIn("\n" + message, "\n" + self.desktop.stderr_of(process))

    def test_every_launch_writes_a_valid_login_entry_whose_exec_starts_the_executable_that_was_launched(self):
        entry = self.desktop.home / "config" / "autostart" / "ai.orvia.orvia-desktop.desktop"
        # Characters the Exec key must quote, in the folder the program runs from. Not %: the entry
        # doubles it as the Desktop Entry Specification asks, but GLib looks for the program before undoing that
        # and so refuses such an entry (the unit tests cover the text).
        folder = self.desktop.home / "Orvia Kiosk's \"$HOME\" `id` back\\slash"
        folder.mkdir()
        program = folder / "OrviaDesktop"
        shutil.copy2(PROGRAM, program)
        (folder / BUNDLE_NAME).symlink_to(BUNDLE)

        def run_once():
            process, _ = self.desktop.start(program)
            self.assertIsNone(process.poll())
            os.killpg(process.pid, signal.SIGKILL)
            process.wait(10)
            # The kiosk, its supervisor's child, may take a moment longer.
            wait_until(lambda: not self.desktop.windows("interface"), 10, message="the windows gone")

        run_once()
        written = entry.read_text()
        validation = subprocess.run(["desktop-file-validate", str(entry)], capture_output=True, text=True)
        self.assertEqual(validation.returncode, 0, validation.stdout + validation.stderr)
        self.assertEqual(validation.stdout.strip(), "", "no warnings either")
        # Every launch rewrites an edited or removed entry.
        for edit in (lambda: entry.write_text("[Desktop Entry]\nType=Application\nName=Edited\nExec=/bin/false\nHidden=true\n"),
                     entry.unlink):
            edit()
            run_once()
            self.assertEqual(entry.read_text(), written)

        # Started the way a session starts its autostart entries.
        subprocess.run(["gio", "launch", str(entry)], env=self.desktop.env, check=True, timeout=30)
        pid = self.desktop.owner(self.desktop.window("interface"))
        self.addCleanup(os.kill, pid, signal.SIGKILL)
        self.assertEqual(os.readlink(f"/proc/{pid}/exe"), str(program))

    def _has_dark_text(self, window):
        # The fallback heading is black text at the page's top left on a light page (the bundled
        # page is dark all over).
        darkest, mean = self.desktop.grey(window, 600, 120)
        return darkest < 0.2 and mean > 0.8



class Recovery(InstalledCopy):
    def start(self, page, defaults=None, **fields):
        self.write_page(page, **fields)
        if defaults:
            config = pathlib.Path(self.desktop.env["XDG_CONFIG_HOME"]) / "ai.orvia.orvia-desktop"
            config.mkdir(parents=True)
            (config / "defaults.json").write_text(json.dumps(defaults))
        self.program, self.interface = self.desktop.start(self.program_file)
        self.work_area = self.desktop.work_area()

    def next_report(self, frame, timeout=15.0):
        deadline = time.monotonic() + timeout
        while True:
            try:
                report = self.server.posted.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                raise AssertionError(f"no report from {frame} within {timeout}s") from None
            if report["frame"] == frame:
                return report

    def wait_for_the_page(self, what):
        # A page that has run its script may still be a frame away from the screen on a busy machine.
        # The test page is dark all over; the window behind a page that is not painted is light.
        wait_until(lambda: self.desktop.grey(self.interface)[1] < 0.3, 10, interval=0.5, message=what)

    def collapse(self):
        self.desktop.x(["wmctrl", "-i", "-c", self.interface])
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        self.next_report("pause")

    def the_web_process(self):
        return wait_until(lambda: (lambda found: found[0] if len(found) == 1 else None)(web_processes(self.program)),
                          15, message="one web process")

    def test_a_killed_page_or_program_comes_back_with_its_identity_and_a_waiting_restart_ends_with_the_session(self):
        # The crashes are the test's own: they leave no core file.
        resource.setrlimit(resource.RLIMIT_CORE, (0, resource.getrlimit(resource.RLIMIT_CORE)[1]))
        # A supervisor's mark inherited from elsewhere is no supervisor.
        self.desktop.env["ORVIA_SUPERVISOR_PID"] = "1"
        self.start(PAGE)
        member = self.next_report("main")["memberID"]
        self.assertEqual(stored_defaults(self.desktop.home / "config")["OrviaDesktopGuestMemberID"], member)

        # A killed page comes back in the mode it was in.
        for mode in ("expanded", "collapsed"):
            if mode == "collapsed":
                self.collapse()
            geometry = self.desktop.geometry(self.interface)
            victim = self.the_web_process()

            killed_at = time.monotonic()
            os.kill(victim, signal.SIGKILL)
            report = self.next_report("main", timeout=10)
            recovered_in = time.monotonic() - killed_at

            print(f"\n{mode}: page back {recovered_in:.2f}s after the kill")
            self.assertEqual(report["memberID"], member)
            self.assertLess(recovered_in, 5.0)
            self.assertNotEqual(self.the_web_process(), victim)
            if mode == "collapsed":
                self.next_report("pause", timeout=15)
            time.sleep(1)
            if mode == "expanded":
                self.wait_for_the_page("the page painted again")
                self.desktop.screenshot("recovered-expanded.png")
            self.assertEqual(self.desktop.geometry(self.interface), geometry, f"{mode} mode must be kept")

        # A crashed or killed program comes back expanded, from either mode.
        for mode, crash in itertools.product(("collapsed", "expanded"), (signal.SIGSEGV, signal.SIGKILL)):
            if mode == "collapsed" and self.desktop.geometry(self.interface) == self.work_area:
                self.collapse()
            kiosk = self.desktop.owner(self.interface)

            killed_at = time.monotonic()
            os.kill(kiosk, crash)
            self.interface = self.desktop.window("interface", timeout=10, not_owned_by=kiosk)
            self.desktop.wait_for_geometry(self.interface, self.work_area)
            report = self.next_report("main", timeout=10)
            back_in = time.monotonic() - killed_at

            print(f"\n{mode}, {crash.name}: interface back {back_in:.2f}s after the kill")
            self.assertLess(back_in, 5.0)
            self.assertEqual(report["memberID"], member)
            self.assertEqual(len(self.desktop.windows("interface")), 1)
            self.assertFalse([bubble for bubble in self.desktop.windows("bubble") if self.desktop.is_viewable(bubble)])
            self.wait_for_the_page("the page painted")
            self.assertEqual(process_status(self.desktop.owner(self.interface))[0], self.program.pid)
        self.desktop.screenshot("restarted-after-crash.png")

        # The sixth end within a minute waits for the calm restart; the end of the session ends that wait.
        kiosk = self.desktop.owner(self.interface)
        os.kill(kiosk, signal.SIGKILL)
        os.kill(self.desktop.owner(self.desktop.window("interface", timeout=10, not_owned_by=kiosk)), signal.SIGKILL)
        time.sleep(1)
        self.assertIsNone(self.program.poll())
        self.desktop.end_session()
        self.assertEqual(self.program.wait(10), 128 + signal.SIGKILL)
        assert_ended_for_good(self.program)

    def test_a_page_that_stops_answering_is_ended_and_loaded_again(self):
        self.start(HANGING_PAGE)
        member = self.next_report("main")["memberID"]
        hung = self.the_web_process()
        hung_at = time.monotonic() + 1

        # The engine notices a silent process only while it waits for an answer, as it does for
        # key presses; a person at the kiosk gives those.
        self.desktop.x(["xdotool", "windowactivate", "--sync", self.interface], check=False)
        report = None
        while report is None and time.monotonic() < hung_at + 30:
            self.desktop.x(["xdotool", "key", "space"])
            with contextlib.suppress(AssertionError):
                report = self.next_report("main", timeout=0.5)
        self.assertIsNotNone(report, "the page is loaded again")
        recovered_in = time.monotonic() - hung_at
        print(f"\nhung page back {recovered_in:.1f}s after it stopped answering")
        self.assertEqual(report["memberID"], member)
        self.assertNotEqual(self.the_web_process(), hung)
        self.assertEqual(self.desktop.geometry(self.interface), self.work_area)

    def until_ended(self, pid, limit, timeout=90):
        """Follows the process until it ends: when it first held more than the limit, and its peak."""
        over_at, peak, deadline = None, 0, time.monotonic() + timeout
        while (held := memory(pid)) is not None:
            self.assertLess(time.monotonic(), deadline, "the process ends")
            peak = max(peak, held)
            if held > limit and over_at is None:
                over_at = time.monotonic()
            time.sleep(0.05)
        self.assertIsNotNone(over_at, "ended only once over the limit")
        return over_at, peak

    def test_a_page_past_its_memory_ceiling_is_loaded_again_at_once_while_in_use_and_the_program_ends_when_told(self):
        self.start(LEAKING_PAGE, {"OrviaDesktopMemoryBudgetMB": 300, "OrviaDesktopMemoryCeilingMB": 400}, megabytes=1000)
        member = self.next_report("main")["memberID"]

        over_at, peak = self.until_ended(self.the_web_process(), 400 * MB)
        ended_at = time.monotonic()
        report = self.next_report("main", timeout=10)
        print(f"\nended {ended_at - over_at:.1f}s past the ceiling, at {peak // MB} MB; "
              f"back {time.monotonic() - ended_at:.1f}s later")
        self.assertLess(ended_at - over_at, 3.0)
        self.assertEqual(report["memberID"], member)
        self.assertEqual(self.desktop.geometry(self.interface), self.work_area)

        # How an operator ends it from outside: the request goes to the program that was started.
        os.kill(self.program.pid, signal.SIGTERM)
        self.assertEqual(self.program.wait(10), -signal.SIGTERM)
        assert_ended_for_good(self.program)

    def test_the_web_process_is_confined_the_page_reads_no_file_beyond_its_bundle_and_the_session_ends_it(self):
        secret = self.desktop.home / "secret.txt"
        secret.write_text(SECRET)
        secret_image = self.desktop.home / "secret.png"
        subprocess.run(["convert", "-size", "3x3", "xc:red", str(self.resources / "inside.png")], check=True)
        subprocess.run(["convert", "-size", "3x3", "xc:blue", str(secret_image)], check=True)
        self.start(SANDBOX_PAGE, secret_url=secret.as_uri(), secret_image_url=secret_image.as_uri())

        probes = ("fetch-home", "fetch-etc", "image-home-pixels")
        reports = self.server.collect(probes + ("image-inside",))

        print()
        for probe in probes:
            print(f"{probe}: {reports[probe]}")
            self.assertFalse(reports[probe]["read"], reports[probe])
        self.desktop.screenshot("sandboxed-page.png")
        self.assertEqual(reports["image-inside"], {"frame": "image-inside", "read": True, "text": "3"})

        web = self.the_web_process()
        self.assertIn("bwrap", ancestry(web))
        for namespace in ("mnt", "pid"):
            self.assertNotEqual(os.readlink(f"/proc/{web}/ns/{namespace}"),
                                os.readlink(f"/proc/{self.program.pid}/ns/{namespace}"), namespace)
        # What the process itself can open, whatever code runs in it: its bundle, and only to read.
        root = pathlib.Path(f"/proc/{web}/root")
        page = root / self.resources.relative_to("/") / "index.html"
        self.assertTrue(page.is_file())
        self.assertFalse(os.access(page, os.W_OK))
        self.assertFalse((root / secret.relative_to("/")).exists())

        # The end of the session ends the program.
        self.desktop.end_session()
        self.program.wait(10)
        assert_ended_for_good(self.program)



if __name__ == "__main__":
    unittest.main()
