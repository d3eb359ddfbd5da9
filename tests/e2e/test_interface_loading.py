"""The real program loads its web interface from the resource bundle beside it, hands the page its
kiosk identity and writes its login start entry (an XDG autostart desktop entry); a test page in a
copy of the bundle reports what it sees to a loopback server."""

import base64
import json
import os
import pathlib
import re
import shutil
import signal
import subprocess
import unittest

from kiosk import BUILD_DIR, PROGRAM, Desktop, wait_until
from page_channel import Channel

BUNDLE_NAME = "OrviaDesktop_OrviaDesktop.bundle"
SUPERVISOR_NAME = "OrviaDesktop-supervisor"
BUNDLE = BUILD_DIR / BUNDLE_NAME
MADE_IDENTIFIER = re.compile(r"orvia-kiosk-[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}")

# The page's first script checks the globals; a frame beside it, found through the base URL,
# reports its own view; the face image reports once decoded.
TEST_PAGE = """<!doctype html>
<html><head><meta charset="utf-8">
<script>
  window.report = (what) => fetch("http://127.0.0.1:{port}/report",
                                   {{method: "POST", mode: "no-cors", body: JSON.stringify(what)}});
  report({{frame: "main", hasMemberID: "ORVIA_MEMBER_ID" in window, memberID: window.ORVIA_MEMBER_ID,
          memberIDType: typeof window.ORVIA_MEMBER_ID, kiosk: window.ORVIA_KIOSK === true}});
</script>
</head><body>
<img id="face" src="ORVIA_DEFAULT_FACE_DATA">
<iframe src="frame.html"></iframe>
<script>
  const face = document.getElementById("face");
  face.decode().then(() => face.naturalWidth, () => -1)
      .then((width) => report({{frame: "face", src: face.getAttribute("src"), width: width}}));
</script>
</body></html>
"""

# A file frame is an origin of its own, so it reports by itself rather than through its parent.
TEST_FRAME = """<!doctype html><script>
  fetch("http://127.0.0.1:{port}/report", {{method: "POST", mode: "no-cors", body: JSON.stringify(
      {{frame: "iframe", hasMemberID: "ORVIA_MEMBER_ID" in window, hasKiosk: "ORVIA_KIOSK" in window}})}});
</script>
"""


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


class InterfaceLoading(InstalledCopy):

    def install_test_page(self, program_folder):
        resources = program_folder / BUNDLE_NAME / "Resources"
        (resources / "index.html").write_text(TEST_PAGE.format(port=self.server.port))
        (resources / "frame.html").write_text(TEST_FRAME.format(port=self.server.port))
        return resources

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
        resources = self.install_test_page(self.folder)
        face = (resources / "orvia-default.webp").read_bytes()
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

        # The installed program finds its bundle through the bin link.
        prefix = self.folder / "prefix"
        subprocess.run(["cmake", "--install", str(BUILD_DIR), "--prefix", str(prefix)], check=True,
                       capture_output=True, timeout=120)
        link = prefix / "bin" / "OrviaDesktop"
        program_folder = prefix / "lib" / "orvia-desktop"
        self.assertTrue(link.is_symlink())
        self.assertEqual(link.resolve(), (program_folder / "OrviaDesktop").resolve())
        self.assertTrue((program_folder / BUNDLE_NAME / "Resources" / "orvia-default.webp").is_file())
        self.install_test_page(program_folder)
        self.assertEqual(self.run_once(link, env={"XDG_CONFIG_HOME": str(fresh)})["main"]["memberID"], stored)

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

        # An autostart folder that cannot be made does not stop the launch: a file where the folder
        # belongs stops even root, who may write anywhere else.
        entry.parent.write_text("not a folder")
        run_once()
        self.assertEqual(entry.parent.read_text(), "not a folder")
        entry.parent.unlink()

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


if __name__ == "__main__":
    unittest.main()
