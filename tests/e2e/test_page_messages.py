"""The page's script messages and media requests, answered by the real program."""

import time
import unittest

from kiosk import wait_until
from page_channel import PageProgramTest, needs_mock_devices

HANDLED_TYPES = ["x-scheme-handler/https", "x-scheme-handler/http", "x-scheme-handler/mailto",
                 "x-scheme-handler/javascript", "x-scheme-handler/file", "text/plain", "inode/directory"]


class PageMessages(PageProgramTest):
    def before_launch(self):
        self.opened_urls = self.desktop.record_default_browser(HANDLED_TYPES)

    def test_minimize_and_wake_and_nothing_else(self):
        for ignored in ["minimize", ["minimize"], {"type": "Minimize"}, {"type": 1}, {"kind": "minimize"}]:
            self.page.post(ignored)
        time.sleep(1)
        self.assertEqual(self.desktop.geometry(self.interface), self.work_area)
        self.assertEqual(self.desktop.windows("bubble"), [])

        self.page.post({"type": "minimize"})
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        self.page.post({"type": "wake"})
        self.desktop.wait_for_geometry(self.interface, self.work_area)
        # Wake on a shown window sets the frame again, undoing the user's move.
        self.desktop.x(["xdotool", "windowmove", "--sync", self.interface, "40", "30"], check=False)
        self.page.post({"type": "wake"})
        self.desktop.wait_for_geometry(self.interface, self.work_area)

    def test_only_web_links_reach_the_default_browser(self):
        for refused in ["file:///etc/passwd", "javascript:alert(1)", "mailto:help@example.com", "/relative",
                        "HTTPS://example.com/shouting"]:
            self.page.post({"type": "openExternal", "url": refused})
        self.page.post({"type": "openExternal", "url": 42})
        self.page.post({"type": "openExternal", "url": "https://example.com/help?q=1"})

        wait_until(self.opened_urls, 15, message="the default browser to be started")
        time.sleep(1.5)
        self.assertEqual(self.opened_urls(), ["https://example.com/help?q=1"])

    def capture(self, constraints):
        return self.page.run(f"navigator.mediaDevices.getUserMedia({constraints}).then("
                             "stream => 'granted ' + stream.getTracks().map(t => t.kind).sort().join(','),"
                             "error => 'refused ' + error.name)")

    # The engine remembers a page's answers for its lifetime, so each test asks the camera alone at most
    # once, first.
    @needs_mock_devices
    def test_camera_alone_refused_microphone_granted(self):
        self.assertEqual(self.capture("{video: true}"), "refused NotAllowedError")
        self.assertEqual(self.capture("{audio: true}"), "granted audio")

    @needs_mock_devices
    def test_camera_with_microphone_granted(self):
        self.assertEqual(self.capture("{audio: true, video: true}"), "granted audio,video")

if __name__ == "__main__":
    unittest.main()
