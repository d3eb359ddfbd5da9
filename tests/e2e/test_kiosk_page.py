"""The shipped kiosk page in the real program: its script messages, links and media requests, its own
controls, pause and resume; and in a build without the engine's mock devices, a real audio server's
microphone.

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
HANDLED_TYPES = ["x-scheme-handler/https", "x-scheme-handler/http", "x-scheme-handler/mailto",
                 "x-scheme-handler/javascript", "x-scheme-handler/file", "text/plain", "inode/directory"]


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
        self.opened_urls = self.desktop.record_default_browser(HANDLED_TYPES)

    def capture(self, constraints):
        return self.page.run(f"navigator.mediaDevices.getUserMedia({constraints}).then(stream => {{"
                             " stream.getTracks().forEach(t => t.stop());"
                             " return 'granted ' + stream.getTracks().map(t => t.kind).sort().join(','); },"
                             " error => 'refused ' + error.name)")

    def wait_for_interface(self, frame):
        self.desktop.wait_for_geometry(self.interface, frame)

    def test_messages_links_camera_and_the_minimize_control(self):
        self.wait_for_state(orviaMic="listening", orviaTracks="1")
        # The engine remembers a page's answers for its lifetime: the camera alone is asked first.
        self.assertEqual(self.capture("{video: true}"), "refused NotAllowedError")
        self.assertEqual(self.capture("{audio: true}"), "granted audio")

        for ignored in ["minimize", ["minimize"], {"type": "Minimize"}, {"type": 1}, {"kind": "minimize"}]:
            self.page.post(ignored)
        for refused in ["file:///etc/passwd", "javascript:alert(1)", "mailto:help@example.com", "/relative",
                        "HTTPS://example.com/shouting", 42]:
            self.page.post({"type": "openExternal", "url": refused})
        self.page.post({"type": "openExternal", "url": "https://example.com/help?q=1"})
        wait_until(self.opened_urls, 15, message="the default browser to be started")
        self.page.click(self.desktop, self.interface, "#help")
        wait_until(lambda: len(self.opened_urls()) > 1, 15, message="the help link opened")
        time.sleep(1.5)
        self.assertEqual(self.opened_urls(), ["https://example.com/help?q=1", HELP])
        # Opened outside: the page itself stays where it was, and nothing else collapsed it.
        self.assertEqual(self.page.run("location.protocol"), "file:")
        self.assertEqual(self.desktop.geometry(self.interface), self.work_area)
        self.assertEqual(self.desktop.windows("bubble"), [])

        # The page's own control collapses the kiosk and pauses it; nothing wakes the microphone meanwhile
        # (no retry, no late grant); the bubble resumes it.
        self.page.click(self.desktop, self.interface, "#minimize")
        bubble = self.desktop.window("bubble")
        self.wait_for_interface(self.desktop.collapsed_frame())
        self.wait_for_state(orviaState="paused", orviaMic="off", orviaTracks="0")
        time.sleep(2)
        self.assertEqual(self.state()["orviaTracks"], "0")
        box = self.desktop.geometry(bubble)
        self.desktop.x(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2),
                        str(box.y + box.height // 2), "click", "1"])
        self.wait_for_interface(self.work_area)
        self.wait_for_state(orviaState="running", orviaMic="listening", orviaTracks="1")

        # The messages do the same; wake on a shown window sets the frame again, undoing the user's move.
        self.page.post({"type": "minimize"})
        self.wait_for_interface(self.desktop.collapsed_frame())
        self.page.post({"type": "wake"})
        self.wait_for_interface(self.work_area)
        self.desktop.x(["xdotool", "windowmove", "--sync", self.interface, "40", "30"], check=False)
        self.page.post({"type": "wake"})
        self.wait_for_interface(self.work_area)

    def test_camera_with_microphone_granted(self):
        self.assertEqual(self.capture("{audio: true, video: true}"), "granted audio,video")


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
