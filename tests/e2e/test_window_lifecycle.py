"""The interface window of the real program under a window manager: shown, collapsed, reopened."""

import time
import unittest

from kiosk import Desktop, Geometry, wait_until


class WindowLifecycle(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(width=1440, height=900, bottom_margin=48)
        self.addCleanup(self.desktop.close)
        self.program = self.desktop.launch()
        self.interface = self.desktop.window("interface")
        self.work_area = self.desktop.work_area()

    def wait_for_geometry(self, expected):
        """Waits for the geometry, then checks that it holds: a late relayout must not undo it."""
        self.desktop.wait_for_geometry(self.interface, expected)
        time.sleep(1)
        self.assertEqual(self.desktop.geometry(self.interface), expected)

    def test_interface_fills_the_work_area_above_and_on_every_workspace(self):
        self.assertEqual(self.desktop.title(self.interface), "Orvia AI Life")
        self.assertEqual(self.work_area, Geometry(0, 0, 1440, 852))
        self.wait_for_geometry(self.work_area)
        state = self.desktop.net_wm_state(self.interface)
        self.assertIn("_NET_WM_STATE_ABOVE", state)
        self.assertTrue(self.desktop.is_on_every_desktop(self.interface))
        self.desktop.screenshot("expanded.png")

    def test_close_request_collapses_into_a_click_through_corner_and_keeps_running(self):
        self.wait_for_geometry(self.work_area)
        self.desktop.x(["wmctrl", "-i", "-c", self.interface])

        self.wait_for_geometry(self.desktop.collapsed_frame())
        self.assertIsNone(self.program.poll(), "a close request must not end the program")
        self.assertTrue(self.desktop.is_viewable(self.interface))
        self.assertNotIn("_NET_WM_STATE_ABOVE", self.desktop.net_wm_state(self.interface))
        corner = self.desktop.collapsed_frame()
        under = self.desktop.window_under_pointer(corner.x, corner.y)
        self.assertNotEqual(int(under), int(self.interface), "the collapsed window must let clicks through")

    def test_miniaturise_ends_collapsed_and_not_iconified(self):
        self.wait_for_geometry(self.work_area)
        self.desktop.x(["xdotool", "windowminimize", "--sync", self.interface], check=False)

        self.wait_for_geometry(self.desktop.collapsed_frame())
        wait_until(lambda: not self.desktop.is_iconic(self.interface), 10, message="de-iconified")
        self.assertTrue(self.desktop.is_viewable(self.interface))

    def test_second_launch_reopens_the_running_interface_at_its_saved_frame(self):
        self.wait_for_geometry(self.work_area)
        moved = Geometry(100, 50, 1000, 700)
        self.desktop.x(["wmctrl", "-i", "-r", self.interface, "-e", "0,100,50,1000,700"])
        self.wait_for_geometry(moved)
        self.desktop.x(["wmctrl", "-i", "-c", self.interface])
        self.wait_for_geometry(self.desktop.collapsed_frame())

        second = self.desktop.launch()
        self.assertEqual(second.wait(20), 0, "the second launch hands over to the running one and ends")
        self.wait_for_geometry(moved)
        self.assertEqual(len(self.desktop.windows("interface")), 1)
        self.assertIsNone(self.program.poll())


if __name__ == "__main__":
    unittest.main()
