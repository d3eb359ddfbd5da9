"""The application menu of the real program: its key equivalents and the menu behind the header bar button."""

import time
import unittest

from kiosk import Desktop, Geometry, wait_until


class ApplicationMenu(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(width=1440, height=900, bottom_margin=48)
        self.addCleanup(self.desktop.close)
        self.program = self.desktop.launch()
        self.interface = self.desktop.window("interface")
        self.work_area = self.desktop.work_area()
        self.wait_for_geometry(self.work_area)

    def wait_for_geometry(self, expected):
        wait_until(lambda: self.desktop.geometry(self.interface) == expected, 10,
                   message=f"geometry {expected}, have {self.desktop.geometry(self.interface)}")

    def press(self, keys):
        # Key equivalents reach the window that has the keyboard, as on any desktop.
        self.desktop.x(["xdotool", "windowactivate", "--sync", self.interface], check=False)
        self.desktop.x(["xdotool", "key", "--clearmodifiers", keys])

    def collapse(self):
        self.desktop.x(["wmctrl", "-i", "-c", self.interface])
        area = self.work_area
        self.wait_for_geometry(Geometry(area.x, area.y + area.height - 2, 2, 2))

    def test_control_n_brings_the_interface_back_from_a_collapse(self):
        self.collapse()
        self.press("ctrl+n")
        self.wait_for_geometry(self.work_area)
        self.assertIn("_NET_WM_STATE_ABOVE", self.desktop.net_wm_state(self.interface))

    def test_plain_control_q_leaves_the_program_running_as_it_was(self):
        self.press("ctrl+q")
        time.sleep(2)
        self.assertIsNone(self.program.poll(), "Ctrl+Q must not end the program")
        self.assertEqual(self.desktop.geometry(self.interface), self.work_area, "nor collapse it")

    def choose_from_menu(self, position):
        """Opens the menu from the header bar button and chooses its item at position (1 = first)."""
        frame = self.desktop.geometry(self.interface)
        self.desktop.x(["xdotool", "mousemove", "--sync", str(frame.x + 20), str(frame.y + 20), "click", "1"])
        time.sleep(0.5)
        self.desktop.screenshot("application-menu.png")
        self.desktop.x(["xdotool", "key", *["Down"] * position, "Return"])

    def test_show_orvia_from_the_header_bar_menu_puts_the_interface_back_on_the_work_area(self):
        moved = Geometry(100, 50, 1000, 700)
        self.desktop.x(["xdotool", "windowsize", "--sync", self.interface, "1000", "700"], check=False)
        self.desktop.x(["xdotool", "windowmove", "--sync", self.interface, "100", "50"], check=False)
        self.wait_for_geometry(moved)

        self.choose_from_menu(1)
        self.wait_for_geometry(self.work_area)
        self.assertIsNone(self.program.poll())

if __name__ == "__main__":
    unittest.main()
