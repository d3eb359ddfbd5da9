"""The application menu of the real program: its key equivalents and the menu behind the header bar button."""

import os
import pathlib
import shutil
import tempfile
import time
import unittest

from kiosk import BUILD_DIR, Desktop, Geometry, wait_until
from updateserver import Answer, Authority, UpdateServer

# The copy of the program that asks the tests' local update server (see CMakeLists.txt).
UPDATE_PROGRAM = pathlib.Path(os.environ.get("ORVIA_UPDATE_PROGRAM", BUILD_DIR / "OrviaDesktop-e2e"))
UPDATE_PORT = int(os.environ.get("ORVIA_UPDATE_PORT", "47443"))
TRUSTED_FILE = pathlib.Path(os.environ.get("ORVIA_UPDATE_CA_FILE",
                                           BUILD_DIR / "tests" / "e2e" / "update-server" / "ca.pem"))
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
        self.desktop = Desktop(width=1440, height=900, bottom_margin=48)
        self.addCleanup(self.desktop.close)
        self.program = self.desktop.launch()
        self.interface = self.desktop.window("interface")
        self.work_area = self.desktop.work_area()
        self.desktop.wait_for_geometry(self.interface, self.work_area)

    def press(self, keys):
        # Key equivalents reach the window that has the keyboard, as on any desktop.
        self.desktop.x(["xdotool", "windowactivate", "--sync", self.interface], check=False)
        self.desktop.x(["xdotool", "key", "--clearmodifiers", keys])

    def collapse(self):
        self.desktop.x(["wmctrl", "-i", "-c", self.interface])
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())

    def test_control_n_brings_the_interface_back_from_a_collapse(self):
        self.collapse()
        self.press("ctrl+n")
        self.desktop.wait_for_geometry(self.interface, self.work_area)
        self.assertIn("_NET_WM_STATE_ABOVE", self.desktop.net_wm_state(self.interface))

    def test_plain_control_q_leaves_the_program_running_as_it_was(self):
        self.press("ctrl+q")
        time.sleep(2)
        self.assertIsNone(self.program.poll(), "Ctrl+Q must not end the program")
        self.assertEqual(self.desktop.geometry(self.interface), self.work_area, "nor collapse it")

    def test_show_orvia_from_the_header_bar_menu_puts_the_interface_back_on_the_work_area(self):
        moved = Geometry(100, 50, 1000, 700)
        self.desktop.x(["xdotool", "windowsize", "--sync", self.interface, "1000", "700"], check=False)
        self.desktop.x(["xdotool", "windowmove", "--sync", self.interface, "100", "50"], check=False)
        self.desktop.wait_for_geometry(self.interface, moved)

        choose_from_menu(self.desktop, self.interface, 1, screenshot="application-menu.png")
        self.desktop.wait_for_geometry(self.interface, self.work_area)
        self.assertIsNone(self.program.poll())


class CheckForUpdatesFromTheMenu(unittest.TestCase):
    def setUp(self):
        folder = pathlib.Path(tempfile.mkdtemp(prefix="orvia-update-ca-"))
        self.addCleanup(shutil.rmtree, folder, True)
        authority = Authority.make(folder, "trusted")
        TRUSTED_FILE.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(authority.certificate, TRUSTED_FILE)
        self.server = UpdateServer(UPDATE_PORT, authority)
        self.addCleanup(self.server.close)
        self.server.answer = Answer.manifest(PROGRAM_VERSION)

        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.program = self.desktop.launch(UPDATE_PROGRAM)
        self.interface = self.desktop.window("interface")

    def alerts(self, title):
        return self.desktop.x(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], check=False).split()

    def wait_for_requests(self, count):
        wait_until(lambda: len(self.server.requests) >= count, 15, message=f"request {count} at the update server")

    def test_each_choice_asks_the_server_again_and_says_the_program_is_up_to_date(self):
        # The silent check three seconds after launching says nothing about the same version.
        self.wait_for_requests(1)
        time.sleep(1.5)
        self.assertEqual(self.alerts(UP_TO_DATE), [])

        for count in (2, 3):
            choose_from_menu(self.desktop, self.interface, 2)
            self.wait_for_requests(count)
            alert = wait_until(lambda: self.alerts(UP_TO_DATE), 15, message=f"the alert {UP_TO_DATE!r}")[0]
            if count == 2:
                self.desktop.screenshot("up-to-date.png")
            self.desktop.x(["xdotool", "windowactivate", "--sync", alert], check=False)
            self.desktop.x(["xdotool", "key", "Return"])
            wait_until(lambda: not self.alerts(UP_TO_DATE), 10, message="the alert closed")
        self.assertIsNone(self.program.poll())


if __name__ == "__main__":
    unittest.main()
