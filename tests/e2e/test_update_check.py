"""The update check of the real program against a local HTTPS server of the test's own, and the
application menu with its keys: the menu behind the header bar button, its update check, and the
administrator exit with a stand-in for the system's authentication (admin-auth-stub.sh), which exits
with the status the test writes to a file.

The program is the copy linked with https://127.0.0.1:<port>/downloads/orvia-desktop-update.json,
a certificate authority file that this test writes before each launch, and that stand-in (see
CMakeLists.txt).
"""

import os
import signal
import tempfile
import time
import unittest

from kiosk import Desktop, Geometry, assert_ended_for_good, wait_until
from updateserver import PORT, PROGRAM, Answer, Authority, UpdateServer

PROGRAM_VERSION = os.environ.get("ORVIA_PROGRAM_VERSION", "1.0.0")
UPDATE_TITLE = "Orvia Desktop 1.4.0 is ready"
UP_TO_DATE = "Orvia Desktop is up to date"
DOWNLOAD = "https://downloads.orvia.test/OrviaDesktop-1.4.0.dmg"
# The check starts 3 s after launching; a check that would show something has done so well within
# this long after its request reached the server.
SETTLE = 3.0


class UpdateCheck(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        folder = tempfile.TemporaryDirectory(prefix="orvia-update-ca-")
        cls.addClassCleanup(folder.cleanup)
        # Also trusted, but its certificate names another host than the update server's.
        cls.elsewhere = Authority.make(folder.name, "elsewhere", names="DNS:elsewhere.test")
        cls.authority = Authority.make(folder.name, "trusted").trusted_by_the_program(cls.elsewhere)
        cls.stranger = Authority.make(folder.name, "stranger")

    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.opened_addresses = self.desktop.record_default_browser()

    def serve(self, answer, authority=None):
        server = UpdateServer(PORT, authority or self.authority)
        self.addCleanup(server.close)
        server.answer = answer
        return server

    def launch(self, env=None):
        self.launched_at = time.monotonic()
        program, self.interface = self.desktop.start(PROGRAM, env=env)
        return program

    def stop(self, program):
        program.kill()
        program.wait(10)
        wait_until(lambda: not self.desktop.windows("interface"), 10, message="the program's windows gone")

    def alerts(self):
        return self.desktop.shown_windows("^Orvia Desktop")

    def wait_for_alert(self, title):
        return wait_until(lambda: next((w for w, t in self.alerts().items() if t == title), None), 15,
                          message=f"the alert {title!r}")

    def answer_alert(self, alert, *keys):
        self.desktop.x(["xdotool", "windowactivate", "--sync", alert], check=False)
        self.desktop.x(["xdotool", "key", *keys])
        wait_until(lambda: not self.alerts(), 10, message="the alert closed")

    def wait_for_request(self, server, count=1):
        wait_until(lambda: len(server.requests) >= count, 15, message=f"request {count} at the update server")
        return server.requests[count - 1][0]

    def assert_nothing_shown(self, program):
        opened = self.opened_addresses()
        time.sleep(SETTLE)
        self.assertEqual(self.alerts(), {})
        self.assertIsNone(program.poll(), "the program must keep running")
        self.assertEqual(self.opened_addresses(), opened)

    def test_newer_release_offered_once_three_seconds_after_launch_and_opened_with_return(self):
        server = self.serve(Answer.manifest("1.4.0", download_url=DOWNLOAD))
        program = self.launch()

        requested = self.wait_for_request(server)
        self.assertGreaterEqual(requested - self.launched_at, 3.0, "the check waits 3 s after launching")
        self.assertLess(requested - self.launched_at, 15.0)
        self.assertEqual(server.requests[0][1], "/downloads/orvia-desktop-update.json")
        alert = self.wait_for_alert(UPDATE_TITLE)
        self.assertEqual(len(self.alerts()), 1)
        self.assertIn("_NET_WM_STATE_ABOVE", self.desktop.net_wm_state(alert))
        self.assertIn("_NET_WM_STATE_MODAL", self.desktop.net_wm_state(alert))
        transient = self.desktop.x(["xprop", "-id", alert, "WM_TRANSIENT_FOR"], check=False)
        self.assertIn(hex(int(self.interface)), transient, "kept above the interface window")
        self.desktop.screenshot("update-alert.png")

        self.answer_alert(alert, "Return")
        wait_until(self.opened_addresses, 15, message="the test browser opened")
        self.assertEqual(self.opened_addresses(), [DOWNLOAD])
        time.sleep(SETTLE)
        self.assertEqual(self.alerts(), {}, "offered once")
        self.assertEqual(len(server.requests), 1)

        # The same defaults after a restart: the version was offered already.
        self.stop(program)
        program = self.launch()
        self.wait_for_request(server, 2)
        self.assert_nothing_shown(program)

        # A new version text is a new offer; Later opens nothing.
        server.answer = Answer.manifest("1.4.0.1", download_url=DOWNLOAD)
        self.stop(program)
        program = self.launch()
        self.wait_for_request(server, 3)
        self.answer_alert(self.wait_for_alert("Orvia Desktop 1.4.0.1 is ready"), "Tab", "Return")
        self.assert_nothing_shown(program)
        self.assertEqual(self.opened_addresses(), [DOWNLOAD], "Later opens nothing")

    def test_failures_show_nothing(self):
        # Nothing listens.
        program = self.launch()
        time.sleep(3.0)
        self.assert_nothing_shown(program)
        self.stop(program)
        oversized = Answer.manifest("1.4.0", download_url=DOWNLOAD)
        oversized.body = oversized.body[:-1] + b" " * (1024 * 1024) + b"}"
        plain = UpdateServer(0)
        self.addCleanup(plain.close)
        plain.answer = Answer.manifest("1.4.0", download_url=DOWNLOAD)
        to_http = f"http://127.0.0.1:{plain.port}/downloads/orvia-desktop-update.json"
        cases = [
            ("server error with an HTML page", Answer(status=500, body=b"<html><body><h1>500</h1></body></html>",
                                                      headers={"Content-Type": "text/html"}), None),
            ("unknown certificate authority", Answer.manifest("1.4.0", download_url=DOWNLOAD), self.stranger),
            ("certificate for another host", Answer.manifest("1.4.0", download_url=DOWNLOAD), self.elsewhere),
            ("redirect to http", Answer(status=302, headers={"Location": to_http}), None),
            ("oversized body with its length", oversized, None),
            ("oversized body without a length", Answer(body=oversized.body, without_length=True), None),
        ]
        for what, answer, authority in cases:
            with self.subTest(what), UpdateServer(PORT, authority or self.authority) as server:
                server.answer = answer
                program = self.launch()
                try:
                    if authority:
                        wait_until(lambda: server.connections >= 1, 15, message="a connection attempt")
                    else:
                        self.wait_for_request(server)
                    self.assert_nothing_shown(program)
                finally:
                    self.stop(program)
        self.assertEqual(plain.requests, [], "the redirect to http must not be followed")

    def test_a_stalled_server_neither_blocks_the_interface_nor_holds_the_request_forever(self):
        server = self.serve(Answer(stall=True))
        program = self.launch()
        requested = self.wait_for_request(server)
        self.desktop.x(["wmctrl", "-i", "-c", self.interface])
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        self.assertEqual(self.alerts(), {})
        self.assertIsNone(program.poll())

        # The program gives up after its total time-out of 30 s, and shows nothing.
        wait_until(lambda: server.departures, 45, interval=0.5, message="the program giving up the request")
        self.assertGreaterEqual(server.departures[0] - requested, 29.0)
        self.assertLess(server.departures[0] - requested, 40.0)
        self.assert_nothing_shown(program)

    def choose_from_menu(self, position, screenshot=None):
        """Opens the menu from the header bar button and chooses its item at position (1 = first)."""
        frame = self.desktop.geometry(self.interface)
        self.desktop.x(["xdotool", "mousemove", "--sync", str(frame.x + 20), str(frame.y + 20), "click", "1"])
        time.sleep(0.5)
        if screenshot:
            self.desktop.screenshot(screenshot)
        # The menu opens with its first item focused.
        self.desktop.x(["xdotool", "key", *["Down"] * (position - 1), "Return"])

    def press(self, keys):
        # Key equivalents reach the window that has the keyboard, as on any desktop.
        self.desktop.x(["xdotool", "windowactivate", "--sync", self.interface], check=False)
        self.desktop.x(["xdotool", "key", "--clearmodifiers", keys])

    def test_keys_menu_items_and_administrator_exit(self):
        server = self.serve(Answer.manifest(PROGRAM_VERSION))
        status = self.desktop.home / "auth-status"
        runs = self.desktop.home / "auth-status.runs"
        auth_runs = lambda: len(runs.read_text().splitlines()) if runs.exists() else 0
        program = self.launch(env={"ORVIA_TEST_AUTH_STATUS_FILE": str(status)})
        work_area = self.desktop.work_area()

        # Plain Ctrl+Q neither ends nor collapses it; the silent check three seconds after launching
        # says nothing about the same version.
        self.press("ctrl+q")
        self.wait_for_request(server)
        time.sleep(2)
        self.assertIsNone(program.poll(), "Ctrl+Q must not end the program")
        self.assertEqual(self.desktop.geometry(self.interface), work_area, "nor collapse it")
        self.assertEqual(self.alerts(), {})

        # Show Orvia from the header bar menu puts the interface back on the work area.
        self.desktop.x(["xdotool", "windowsize", "--sync", self.interface, "1000", "700"], check=False)
        self.desktop.x(["xdotool", "windowmove", "--sync", self.interface, "100", "50"], check=False)
        self.desktop.wait_for_geometry(self.interface, Geometry(100, 50, 1000, 700))
        self.choose_from_menu(1, screenshot="application-menu.png")
        self.desktop.wait_for_geometry(self.interface, work_area)

        # Ctrl+N brings it back from a collapse.
        self.desktop.x(["wmctrl", "-i", "-c", self.interface])
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        self.press("ctrl+n")
        self.desktop.wait_for_geometry(self.interface, work_area)
        self.assertIn("_NET_WM_STATE_ABOVE", self.desktop.net_wm_state(self.interface))

        # Check for Updates asks the server again and says the program is up to date.
        self.choose_from_menu(2)
        self.wait_for_request(server, 2)
        alert = self.wait_for_alert(UP_TO_DATE)
        self.desktop.screenshot("up-to-date.png")
        self.answer_alert(alert, "Return")
        self.assertIsNone(program.poll())

        # The kiosk that comes back after a crash answers to the administrator exit as the first did:
        # a refused authentication leaves it running, a success ends it promptly and for good.
        crashed = self.desktop.owner(self.interface)
        os.kill(crashed, signal.SIGKILL)
        self.interface = self.desktop.window("interface", not_owned_by=crashed)
        status.write_text("1")
        self.press("ctrl+alt+q")
        wait_until(lambda: auth_runs() == 1, 10, message="the authentication to run")
        time.sleep(1.5)
        self.assertIsNone(program.poll(), "a refused authentication must leave the program running")
        status.write_text("0")
        started = time.monotonic()
        self.press("ctrl+alt+q")
        self.assertEqual(program.wait(10), 0)
        self.assertLess(time.monotonic() - started, 5.0, "the program must end promptly")
        self.assertEqual(auth_runs(), 2)
        assert_ended_for_good(program)


if __name__ == "__main__":
    unittest.main()
