"""The interface window of the real program under the window managers of Debian's desktops: shown,
collapsed into a click-through corner, brought back from the bubble, minimised, reopened, and the
display kept awake meanwhile. Under openbox also the bubble itself: round to the eye and to the
pointer, with and without a compositor, floating without the focus, and back where it was dragged.

ORVIA_WINDOW_MANAGERS names the window managers to run the scenario under, separated by spaces, or
"all" for every one of kiosk.WINDOW_MANAGERS (scripts/test-desktops.sh); by default openbox and
mutter-x11, the two the test command has time for.
"""

import os
import re
import shutil
import subprocess
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
DESKTOP = (0x3B, 0x42, 0x52)  # the harness's root window colour
FILL = (20, 82, 92)  # 0.08, 0.32, 0.36
BORDER = (245, 173, 20)  # 0.96, 0.68, 0.08


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
        middle = (place.x + BUBBLE_SIDE // 2, place.y + BUBBLE_SIDE // 2)
        if name == "openbox":
            state = desktop.net_wm_state(bubble)
            for flag in ("_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"):
                self.assertIn(flag, state)
            self.assertTrue(desktop.is_on_every_desktop(bubble))
            self.assertIn("accepts input or input focus: False", desktop.x(["xprop", "-id", bubble, "WM_HINTS"]))
            self.assertNotIn(hex(int(bubble)), desktop.x(["xprop", "-root", "_NET_ACTIVE_WINDOW"]),
                             "the bubble must not take the focus")
            # Round to the eye: the desktop shows at the corners, the border at the rim, the fill inside.
            self.assert_round(desktop, interface, place, corner=DESKTOP)
        else:
            # A click on the bubble brings the interface back.
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
        if name == "openbox":
            place = self.drag(desktop, bubble, place)
            self.assertEqual(desktop.geometry(interface), desktop.collapsed_frame(), "a drag sends no click")
            self.assertTrue(desktop.is_viewable(bubble))
            middle = (place.x + BUBBLE_SIDE // 2, place.y + BUBBLE_SIDE // 2)

        # A second launch brings it back where the user last put it.
        desktop.x(["xdotool", "mousemove", "--sync", *map(str, middle), "click", "1"])
        self.settle(desktop, interface, area)
        moved = Geometry(area.x + 100, area.y + 50, 1000, 700)
        desktop.x(["wmctrl", "-i", "-r", interface, "-e", f"0,{moved.x},{moved.y},{moved.width},{moved.height}"])
        desktop.wait_for_geometry(interface, moved, timeout=20)
        desktop.x(["wmctrl", "-i", "-c", interface])
        self.wait_collapsed(desktop, interface, area)
        # The same bubble, not a second one, where it was dragged to.
        self.assertEqual(desktop.window("bubble"), bubble)
        self.assertEqual(desktop.geometry(bubble), place)
        self.assertEqual(len(desktop.windows("bubble")), 1)
        second = desktop.launch()
        self.assertEqual(second.wait(30), 0, "the second launch hands over to the running one and ends")
        self.settle(desktop, interface, moved)
        self.assertEqual(len(desktop.windows("interface")), 1)
        self.assertIsNone(program.poll())

        program.kill()
        program.wait(10)
        awake("ended")
        if name == "openbox" and shutil.which("xcompmgr"):
            self.composited_bubble(desktop, area)

    def composited_bubble(self, desktop, area):
        """Under a compositor the bubble has alpha, and its corners still let clicks through."""
        desktop.x(["xset", "s", "off"])
        compositor = subprocess.Popen(["xcompmgr"], env=desktop.env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
        self.addCleanup(compositor.wait, 5)
        self.addCleanup(compositor.terminate)
        # It owns the compositing selection soon after starting; the bubble's depth below shows it did.
        time.sleep(1)
        self.assertIsNone(compositor.poll(), "xcompmgr did not start")
        program = desktop.launch()
        interface = desktop.window("interface")
        self.settle(desktop, interface, area)
        desktop.x(["wmctrl", "-i", "-c", interface])
        self.wait_collapsed(desktop, interface, area)
        bubble = desktop.window("bubble")
        place = desktop.geometry(bubble)
        self.assertIn("Depth: 32", desktop.x(["xwininfo", "-id", bubble]))
        self.assert_round(desktop, interface, place, corner=None)
        desktop.wait_for_geometry(interface, area)
        program.kill()
        program.wait(10)

    def assert_round(self, desktop, interface, box, corner):
        """The bubble at box shows what is behind it at its corners (the desktop's colour, or the
        pixel beside it when corner is None), its border at the rim, its fill inside; a click on a
        corner reaches what lies behind, one inside the rim brings the interface back."""
        desktop.x(["xdotool", "mousemove", "700", "300"])
        shot = desktop.screenshot(f"bubble-{'desktop' if corner else 'composited'}.png")
        pixel = lambda x, y: tuple(int(v) for v in re.search(r"\((\d+),(\d+),(\d+)", desktop.x(
            ["convert", str(shot), "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"]).splitlines()[1]).groups())
        middle = box.y + BUBBLE_SIDE // 2
        expected = [((box.x + 2, box.y + 2), corner or pixel(box.x - 4, box.y + 2)),
                    ((box.x + 10, middle), FILL)]
        if corner:
            expected += [((box.x + BUBBLE_SIDE - 3, box.y + BUBBLE_SIDE - 3), corner),
                         ((box.x + 1, middle), BORDER), ((box.x + BUBBLE_SIDE // 2, box.y + BUBBLE_SIDE - 2), BORDER)]
        for (x, y), colour in expected:
            # Within a step of rounding: cairo converts its components through 16 bits.
            self.assertTrue(all(abs(a - e) <= 1 for a, e in zip(pixel(x, y), colour)), f"{(x, y)}: not {colour}")
        desktop.x(["xdotool", "mousemove", "--sync", str(box.x + 3), str(box.y + 3), "click", "1"])
        time.sleep(1)
        self.assertEqual(desktop.geometry(interface), desktop.collapsed_frame())
        desktop.x(["xdotool", "mousemove", "--sync", str(box.x + 3), str(middle), "click", "1"])

    def drag(self, desktop, bubble, box):
        """Drags the bubble by its middle to (600, 400), and returns where it was dropped."""
        start = (box.x + BUBBLE_SIDE // 2, box.y + BUBBLE_SIDE // 2)
        # The window manager moves the bubble with the pointer from the first dragged event on.
        first, drop = (start[0] - 2, start[1] - 2), (600, 400)
        desktop.x(["xdotool", "mousemove", "--sync", *map(str, start), "mousedown", "1"])
        desktop.x(["xdotool", "mousemove", "--sync", *map(str, first)])
        for step in range(1, 11):
            desktop.x(["xdotool", "mousemove", "--sync", str(first[0] + (drop[0] - first[0]) * step // 10),
                       str(first[1] + (drop[1] - first[1]) * step // 10)])
            time.sleep(0.05)
        desktop.x(["xdotool", "mouseup", "1"])
        dropped = Geometry(box.x + drop[0] - first[0], box.y + drop[1] - first[1], BUBBLE_SIDE, BUBBLE_SIDE)
        desktop.wait_for_geometry(bubble, dropped)
        time.sleep(0.5)
        return dropped

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
