"""The interface window of the real program under the window managers of Debian's desktops: shown,
collapsed into a click-through corner, brought back from the bubble, minimised, reopened, and the
display kept awake meanwhile.

ORVIA_WINDOW_MANAGERS names the window managers to run the scenario under, separated by spaces, or
"all" for every one of kiosk.WINDOW_MANAGERS (scripts/test-desktops.sh); by default openbox and
mutter-x11, the two the test command has time for.
"""

import os
import time
import unittest

from kiosk import WINDOW_MANAGERS, Desktop, Geometry, wait_until

BUBBLE_SIDE = 112
BUBBLE_MARGIN = 24
# What a window manager does to any client's requests, which the program cannot change:
# - xfwm4 keeps a small window some way off the screen's edges (27 px with its default theme, which
#   it keeps for windows without a frame too), so the collapsed corner sits that far in and up;
# - XWayland has no screen saver: GNOME's Wayland session blanks in the compositor, which only the
#   session manager's inhibitor reaches, and no session manager runs here.
COLLAPSED_INSET = {"xfwm4": range(0, 40)}
NO_SCREEN_SAVER = {"mutter-wayland"}
# Idle longer than the screen saver's timeout (xset s 2 2).
IDLE = 4


class WindowLifecycle(unittest.TestCase):
    def test_scenario_under_each_window_manager(self):
        managers = os.environ.get("ORVIA_WINDOW_MANAGERS", "openbox mutter-x11").split()
        if managers == ["all"]:
            managers = list(WINDOW_MANAGERS)
        for manager in managers:
            with self.subTest(window_manager=manager):
                started = time.monotonic()
                with Desktop(window_manager=manager) as desktop:
                    self.scenario(desktop)
                print(f"{manager}: {time.monotonic() - started:.0f} s", flush=True)

    def scenario(self, desktop):
        name = desktop.window_manager
        awake = self.display_awake_check(desktop)
        program = desktop.launch()
        interface = desktop.window("interface")
        area = desktop.work_area()
        if name == "openbox":
            self.assertEqual(area, Geometry(0, 0, desktop.width, desktop.height - desktop.bottom_margin))

        # Expanded: over the work area, above the others, on every workspace.
        self.assertEqual(desktop.title(interface), "Orvia AI Life")
        self.settle(desktop, interface, area)
        self.assertIn("_NET_WM_STATE_ABOVE", desktop.net_wm_state(interface))
        self.assertTrue(desktop.is_on_every_desktop(interface))
        awake("expanded")

        # A close request collapses it into the work area's bottom-left corner, which takes no click.
        desktop.x(["wmctrl", "-i", "-c", interface])
        collapsed = self.wait_collapsed(desktop, interface, area)
        bubble = desktop.window("bubble")
        self.assertIsNone(program.poll(), "a close request must not end the program")
        self.assertNotIn("_NET_WM_STATE_ABOVE", desktop.net_wm_state(interface))
        for window in {int(interface), desktop.frame_of(interface)}:
            self.assertTrue(desktop.input_shape_is_empty(window), f"{window:#x} takes clicks")
        under = desktop.window_under_pointer(collapsed.x, collapsed.y)
        self.assertNotIn(under, {int(interface), desktop.frame_of(interface)}, "the corner must let clicks through")
        place = Geometry(area.x + area.width - BUBBLE_MARGIN - BUBBLE_SIDE,
                         area.y + area.height - BUBBLE_MARGIN - BUBBLE_SIDE, BUBBLE_SIDE, BUBBLE_SIDE)
        self.assertEqual(desktop.geometry(bubble), place)
        awake("collapsed")

        # A click on the bubble brings the interface back.
        middle = (place.x + BUBBLE_SIDE // 2, place.y + BUBBLE_SIDE // 2)
        desktop.x(["xdotool", "mousemove", "--sync", *map(str, middle), "click", "1"])
        self.settle(desktop, interface, area)
        wait_until(lambda: not desktop.is_viewable(bubble), 10, message="the bubble unmapped")
        self.assertIn("_NET_WM_STATE_ABOVE", desktop.net_wm_state(interface))

        # A minimise collapses it the same way, and leaves nothing minimised.
        desktop.x(["xdotool", "windowminimize", "--sync", interface], check=False)
        self.wait_collapsed(desktop, interface, area)
        wait_until(lambda: not desktop.is_iconic(interface), 10, message="de-iconified")
        self.assertNotIn("_NET_WM_STATE_HIDDEN", desktop.net_wm_state(interface))
        self.assertTrue(desktop.is_viewable(interface))
        self.assertEqual(desktop.window("bubble"), bubble)

        # A second launch brings it back where the user last put it.
        desktop.x(["xdotool", "mousemove", "--sync", *map(str, middle), "click", "1"])
        self.settle(desktop, interface, area)
        moved = Geometry(area.x + 100, area.y + 50, 1000, 700)
        desktop.x(["wmctrl", "-i", "-r", interface, "-e", f"0,{moved.x},{moved.y},{moved.width},{moved.height}"])
        desktop.wait_for_geometry(interface, moved, timeout=20)
        desktop.x(["wmctrl", "-i", "-c", interface])
        self.wait_collapsed(desktop, interface, area)
        second = desktop.launch()
        self.assertEqual(second.wait(30), 0, "the second launch hands over to the running one and ends")
        self.settle(desktop, interface, moved)
        self.assertEqual(len(desktop.windows("interface")), 1)
        self.assertIsNone(program.poll())

        program.kill()
        program.wait(10)
        awake("ended")

    def settle(self, desktop, window, expected):
        """Waits for the geometry, then checks that it holds: a late relayout must not undo it."""
        desktop.wait_for_geometry(window, expected, timeout=20)
        time.sleep(1)
        self.assertEqual(desktop.geometry(window), expected)

    def wait_collapsed(self, desktop, interface, area):
        inset = COLLAPSED_INSET.get(desktop.window_manager, range(1))
        corner = Geometry(area.x, area.y + area.height - 2, 2, 2)

        def collapsed():
            where = desktop.placement(interface)
            return where if (where and where.width == where.height == 2 and where.x - corner.x in inset
                             and corner.y - where.y in inset) else None
        try:
            return wait_until(collapsed, 20)
        except AssertionError:
            self.fail(f"not collapsed to {corner} ({inset} px in): {desktop.placement(interface)}")

    def display_awake_check(self, desktop):
        """Has the screen saver blank after 2 idle seconds, and returns a check: after that long idle
        the display is not blank while the program runs, and blanks once it ended. (Xvfb has no
        DPMS; the screen saver's suspension holds DPMS too.)"""
        if desktop.window_manager in NO_SCREEN_SAVER:
            self.assertIsNone(desktop.screen_saver_on())
            return lambda mode: None
        desktop.x(["xset", "s", "2", "2", "s", "blank"])

        def check(mode):
            time.sleep(IDLE)
            if mode == "ended":
                wait_until(desktop.screen_saver_on, 10, message="the screen saver once the program ended")
            else:
                self.assertFalse(desktop.screen_saver_on(), f"blanked while {mode}")
        return check


if __name__ == "__main__":
    unittest.main()
