"""The application menu of the real program and its keys: the menu behind the header bar button, its
key equivalents, its update check against the tests' local update server, and the administrator exit
with a stand-in for the system's authentication (admin-auth-stub.sh), which exits with the status the
test writes to a file. The program is the copy linked with both (see CMakeLists.txt).
"""

import os
import pathlib
import shutil
import signal
import tempfile
import time
import unittest

from kiosk import Desktop, Geometry, assert_ended_for_good, wait_until
from updateserver import PORT, PROGRAM, Answer, Authority, UpdateServer

PROGRAM_VERSION = os.environ.get("ORVIA_PROGRAM_VERSION", "1.0.0")
UP_TO_DATE = "Orvia Desktop is up to date"


def choose_from_menu(desktop, window, position, screenshot=None):
    """Opens the menu from the window's header bar button and chooses its item at position (1 = first)."""
    frame = desktop.geometry(window)
    desktop.x(["xdotool", "mousemove", "--sync", str(frame.x + 20), str(frame.y + 20), "click", "1"])
    time.sleep(0.5)
    if screenshot:
        desktop.screenshot(screenshot)
    # The menu opens with its first item focused.
    desktop.x(["xdotool", "key", *["Down"] * (position - 1), "Return"])


class ApplicationMenu(unittest.TestCase):
    def setUp(self):
        folder = pathlib.Path(tempfile.mkdtemp(prefix="orvia-update-ca-"))
        self.addCleanup(shutil.rmtree, folder, True)
        self.server = UpdateServer(PORT, Authority.make(folder, "trusted").trusted_by_the_program())
        self.addCleanup(self.server.close)
        self.server.answer = Answer.manifest(PROGRAM_VERSION)

        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.status = self.desktop.home / "auth-status"
        self.runs = self.desktop.home / "auth-status.runs"
        self.program, self.interface = self.desktop.start(PROGRAM, env={"ORVIA_TEST_AUTH_STATUS_FILE": str(self.status)})
        self.work_area = self.desktop.work_area()

    def press(self, keys):
        # Key equivalents reach the window that has the keyboard, as on any desktop.
        self.desktop.x(["xdotool", "windowactivate", "--sync", self.interface], check=False)
        self.desktop.x(["xdotool", "key", "--clearmodifiers", keys])

    def alerts(self):
        return self.desktop.x(["xdotool", "search", "--onlyvisible", "--name", f"^{UP_TO_DATE}$"], check=False).split()

    def wait_for_requests(self, count):
        wait_until(lambda: len(self.server.requests) >= count, 15, message=f"request {count} at the update server")

    def auth_runs(self):
        return len(self.runs.read_text().splitlines()) if self.runs.exists() else 0

    def test_keys_menu_items_and_administrator_exit(self):
        # Plain Ctrl+Q neither ends nor collapses it; the silent check three seconds after launching
        # says nothing about the same version.
        self.press("ctrl+q")
        self.wait_for_requests(1)
        time.sleep(2)
        self.assertIsNone(self.program.poll(), "Ctrl+Q must not end the program")
        self.assertEqual(self.desktop.geometry(self.interface), self.work_area, "nor collapse it")
        self.assertEqual(self.alerts(), [])

        # Show Orvia from the header bar menu puts the interface back on the work area.
        self.desktop.x(["xdotool", "windowsize", "--sync", self.interface, "1000", "700"], check=False)
        self.desktop.x(["xdotool", "windowmove", "--sync", self.interface, "100", "50"], check=False)
        self.desktop.wait_for_geometry(self.interface, Geometry(100, 50, 1000, 700))
        choose_from_menu(self.desktop, self.interface, 1, screenshot="application-menu.png")
        self.desktop.wait_for_geometry(self.interface, self.work_area)

        # Ctrl+N brings it back from a collapse.
        self.desktop.x(["wmctrl", "-i", "-c", self.interface])
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        self.press("ctrl+n")
        self.desktop.wait_for_geometry(self.interface, self.work_area)
        self.assertIn("_NET_WM_STATE_ABOVE", self.desktop.net_wm_state(self.interface))

        # Each Check for Updates asks the server again and says the program is up to date.
        for count in (2, 3):
            choose_from_menu(self.desktop, self.interface, 2)
            self.wait_for_requests(count)
            alert = wait_until(self.alerts, 15, message=f"the alert {UP_TO_DATE!r}")[0]
            if count == 2:
                self.desktop.screenshot("up-to-date.png")
            self.desktop.x(["xdotool", "windowactivate", "--sync", alert], check=False)
            self.desktop.x(["xdotool", "key", "Return"])
            wait_until(lambda: not self.alerts(), 10, message="the alert closed")
        self.assertIsNone(self.program.poll())

        # The kiosk that comes back after a crash answers to the administrator exit as the first did:
        # a refused authentication leaves it running, a success ends it promptly and for good.
        crashed = self.desktop.owner(self.interface)
        os.kill(crashed, signal.SIGKILL)
        self.interface = self.desktop.window("interface", not_owned_by=crashed)
        self.status.write_text("1")
        self.press("ctrl+alt+q")
        wait_until(lambda: self.auth_runs() == 1, 10, message="the authentication to run")
        time.sleep(1.5)
        self.assertIsNone(self.program.poll(), "a refused authentication must leave the program running")
        self.status.write_text("0")
        started = time.monotonic()
        self.press("ctrl+alt+q")
        self.assertEqual(self.program.wait(10), 0)
        self.assertLess(time.monotonic() - started, 5.0, "the program must end promptly")
        self.assertEqual(self.auth_runs(), 2)
        assert_ended_for_good(self.program)


if __name__ == "__main__":
    unittest.main()
