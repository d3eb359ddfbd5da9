"""The shipped kiosk page in the real program: microphone, its own controls, pause and resume; and
in a build without the engine's mock devices, a real audio server's microphone.

The page is a copy of the bundled one with only the test channel's script added at its end, so what
runs is the shipped page; its state is read from the data attributes it keeps on <html>.
"""

import json
import time
import unittest

from kiosk import wait_until
from page_channel import PageProgramTest, needs_mock_devices, needs_real_devices
from test_recovery import ancestry, web_processes

HELP = "https://orvia.ai/help"


class ShippedPage(PageProgramTest):
    bundled = True

    def state(self):
        return json.loads(self.page.run("JSON.stringify(document.documentElement.dataset)"))

    def wait_for_state(self, **expected):
        def reached():
            state = self.state()
            return all(state.get(key) == value for key, value in expected.items())
        wait_until(reached, 15, interval=0.2, message=f"page state {expected}, have {self.state()}")


@needs_mock_devices
class KioskPage(ShippedPage):
    def before_launch(self):
        self.opened_urls = self.desktop.record_default_browser()

    def click_on_page(self, element_id):
        self.page.click(self.desktop, self.interface, f"#{element_id}")

    def test_minimize_control_collapses_and_pauses_and_the_bubble_resumes(self):
        self.wait_for_state(orviaMic="listening", orviaTracks="1")
        self.click_on_page("minimize")
        bubble = self.desktop.window("bubble")
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        self.wait_for_state(orviaState="paused", orviaMic="off", orviaTracks="0")
        # Nothing wakes the microphone while collapsed (no retry, no late grant).
        time.sleep(2)
        self.assertEqual(self.state()["orviaTracks"], "0")

        box = self.desktop.geometry(bubble)
        self.desktop.x(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2),
                        str(box.y + box.height // 2), "click", "1"])
        self.desktop.wait_for_geometry(self.interface, self.work_area)
        self.wait_for_state(orviaState="running", orviaMic="listening", orviaTracks="1")

    def test_help_link_opens_in_the_default_browser(self):
        self.click_on_page("help")
        wait_until(self.opened_urls, 15, message="the default browser to be started")
        time.sleep(1)
        self.assertEqual(self.opened_urls(), [HELP])
        # Opened outside: the page itself stays where it was.
        self.assertEqual(self.page.run("location.protocol"), "file:")
        self.assertEqual(self.desktop.geometry(self.interface), self.work_area)


@needs_real_devices
class RealMicrophone(ShippedPage):
    def before_launch(self):
        self.desktop.start_tone_source()

    def test_listening_to_an_audio_servers_source_with_a_moving_level_from_inside_the_sandbox(self):
        self.wait_for_state(orviaState="running", orviaMic="listening", orviaTracks="1")
        self.assertIn("bwrap", ancestry(wait_until(lambda: web_processes(self.program), 15)[0]))
        # The tone is on and off for 0.6 s each: the meter's first bar lights up and dims again.
        seen = set()
        for _ in range(30):
            seen.add(float(self.page.run("document.querySelector('.meter i').style.opacity || 0")))
            time.sleep(0.1)
        self.assertGreaterEqual(max(seen), 0.9, seen)
        self.assertLessEqual(min(seen), 0.3, seen)


if __name__ == "__main__":
    unittest.main()
