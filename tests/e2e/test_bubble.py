"""The bubble of the real program: where it appears, what a click and a drag do, where it comes back."""

import re
import shutil
import subprocess
import time
import unittest

from kiosk import ARTIFACTS, Geometry, wait_until
from page_channel import PageProgramTest

SIDE = 112
MARGIN = 24
DESKTOP = (0x3B, 0x42, 0x52)  # the harness's root window colour
FILL = (20, 82, 92)  # 0.08, 0.32, 0.36
BORDER = (245, 173, 20)  # 0.96, 0.68, 0.08


class Bubble(PageProgramTest):
    def corner(self):
        area = self.work_area
        return Geometry(area.x + area.width - SIDE - MARGIN, area.y + area.height - MARGIN - SIDE, SIDE, SIDE)

    def minimize(self):
        self.page.post({"type": "minimize"})
        bubble = self.desktop.window("bubble")
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        return bubble

    def test_minimize_shows_a_round_floating_bubble_in_the_corner(self):
        bubble = self.minimize()

        self.desktop.wait_for_geometry(bubble, self.corner())
        self.assertEqual(self.desktop.geometry(self.interface), self.desktop.collapsed_frame())
        state = self.desktop.net_wm_state(bubble)
        for flag in ("_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"):
            self.assertIn(flag, state)
        self.assertTrue(self.desktop.is_on_every_desktop(bubble))
        self.assertIn("accepts input or input focus: False", self.desktop.x(["xprop", "-id", bubble, "WM_HINTS"]))
        active = self.desktop.x(["xprop", "-root", "_NET_ACTIVE_WINDOW"])
        self.assertNotIn(hex(int(bubble)), active, "the bubble must not take the focus")

        # Round to the eye: the desktop shows at the corners, the border at the rim, the fill inside.
        box = self.desktop.geometry(bubble)
        self.desktop.x(["xdotool", "mousemove", "700", "300"])
        shot = self.desktop.screenshot("bubble-desktop.png")
        self.desktop.x(["convert", str(shot), "-crop", f"{SIDE + 40}x{SIDE + 40}+{box.x - 20}+{box.y - 20}",
                        str(ARTIFACTS / "bubble-close-up.png")])
        middle = box.y + SIDE // 2
        self.assertColour(self.pixel(shot, box.x + 2, box.y + 2), DESKTOP)
        self.assertColour(self.pixel(shot, box.x + SIDE - 3, box.y + SIDE - 3), DESKTOP)
        self.assertColour(self.pixel(shot, box.x + 1, middle), BORDER)
        self.assertColour(self.pixel(shot, box.x + SIDE // 2, box.y + SIDE - 2), BORDER)
        self.assertColour(self.pixel(shot, box.x + 10, middle), FILL)

        # Round to the pointer: a click on a corner reaches what lies behind, one inside the rim the bubble.
        self.desktop.x(["xdotool", "mousemove", "--sync", str(box.x + 3), str(box.y + 3), "click", "1"])
        time.sleep(1)
        self.assertEqual(self.desktop.geometry(self.interface), self.desktop.collapsed_frame())
        self.desktop.x(["xdotool", "mousemove", "--sync", str(box.x + 3), str(middle), "click", "1"])
        self.desktop.wait_for_geometry(self.interface, self.work_area)

    @unittest.skipUnless(shutil.which("xcompmgr"), "needs a compositor (xcompmgr)")
    def test_under_a_compositor_the_bubble_has_alpha_and_lets_its_corners_be_clicked_through(self):
        compositor = subprocess.Popen(["xcompmgr"], env=self.desktop.env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
        self.addCleanup(compositor.wait, 5)
        self.addCleanup(compositor.terminate)
        # It owns the compositing selection soon after starting; the bubble's depth below shows it did.
        time.sleep(1)
        self.assertIsNone(compositor.poll(), "xcompmgr did not start")

        bubble = self.minimize()
        self.desktop.wait_for_geometry(bubble, self.corner())
        self.assertIn("Depth: 32", self.desktop.x(["xwininfo", "-id", bubble]))
        box = self.desktop.geometry(bubble)
        self.desktop.x(["xdotool", "mousemove", "700", "300"])
        shot = self.desktop.screenshot("bubble-composited.png")
        self.assertColour(self.pixel(shot, box.x + 2, box.y + 2), self.pixel(shot, box.x - 4, box.y + 2))
        self.assertColour(self.pixel(shot, box.x + 10, box.y + SIDE // 2), FILL)

        self.desktop.x(["xdotool", "mousemove", "--sync", str(box.x + 3), str(box.y + 3), "click", "1"])
        time.sleep(1)
        self.assertEqual(self.desktop.geometry(self.interface), self.desktop.collapsed_frame())
        self.desktop.x(["xdotool", "mousemove", "--sync", str(box.x + 3), str(box.y + SIDE // 2), "click", "1"])
        self.desktop.wait_for_geometry(self.interface, self.work_area)

    def assertColour(self, actual, expected):
        # Within a step of rounding: cairo converts its components through 16 bits.
        self.assertTrue(all(abs(a - e) <= 1 for a, e in zip(actual, expected)), f"{actual} is not {expected}")

    def pixel(self, image, x, y):
        text = self.desktop.x(["convert", str(image), "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"])
        return tuple(int(v) for v in re.search(r"\((\d+),(\d+),(\d+)", text.splitlines()[1]).groups())

    def test_a_drag_moves_the_bubble_which_comes_back_there(self):
        bubble = self.minimize()
        self.desktop.wait_for_geometry(bubble, self.corner())
        box = self.desktop.geometry(bubble)
        start = (box.x + SIDE // 2, box.y + SIDE // 2)
        # The window manager moves the bubble with the pointer from the first dragged event on.
        first = (start[0] - 2, start[1] - 2)
        drop = (600, 400)

        self.desktop.x(["xdotool", "mousemove", "--sync", *map(str, start), "mousedown", "1"])
        self.desktop.x(["xdotool", "mousemove", "--sync", *map(str, first)])
        for step in range(1, 11):
            x = first[0] + (drop[0] - first[0]) * step // 10
            y = first[1] + (drop[1] - first[1]) * step // 10
            self.desktop.x(["xdotool", "mousemove", "--sync", str(x), str(y)])
            time.sleep(0.05)
        self.desktop.x(["xdotool", "mouseup", "1"])

        dropped = Geometry(box.x + drop[0] - first[0], box.y + drop[1] - first[1], SIDE, SIDE)
        self.desktop.wait_for_geometry(bubble, dropped)
        time.sleep(0.5)
        self.assertEqual(self.desktop.geometry(self.interface), self.desktop.collapsed_frame(), "a drag sends no click")
        self.assertTrue(self.desktop.is_viewable(bubble))

        self.page.post({"type": "wake"})
        self.desktop.wait_for_geometry(self.interface, self.work_area)
        wait_until(lambda: not self.desktop.is_viewable(bubble), 10, message="the bubble unmapped")

        self.page.post({"type": "minimize"})
        self.assertEqual(self.desktop.window("bubble"), bubble, "the same bubble, not a second one")
        self.desktop.wait_for_geometry(bubble, dropped)
        self.assertEqual(len(self.desktop.windows("bubble")), 1)


if __name__ == "__main__":
    unittest.main()
