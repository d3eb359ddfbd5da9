"""The shipped kiosk page in the real program: its script messages, links and media requests, its own
controls, what it does with the microphone through collapses and expands, its layout at kiosk screen
sizes; and in a build without the engine's mock devices, a real audio server's microphone.

The page is a copy of the bundled one with the test channel's script added at its end and a recorder
before its own script, so what runs is the shipped page; its state is read from the data attributes
it keeps on <html> and from what the recorder saw.
"""

import itertools
import json
import time
import unittest

from kiosk import ancestry, wait_until, web_processes
from page_channel import PageProgramTest, needs_mock_devices, needs_real_devices

HELP = "https://orvia.ai/help"
HANDLED_TYPES = ["x-scheme-handler/https", "x-scheme-handler/http", "x-scheme-handler/mailto",
                 "x-scheme-handler/javascript", "x-scheme-handler/file", "text/plain", "inode/directory"]

# Counts the microphones, audio contexts and meter readings the page makes, and runs timers of 5 s
# and more twenty times faster: the minute a collapse keeps the microphone passes in 3 s.
RECORDER = """
window.__streams = [];
window.__contexts = [];
window.__meterReads = 0;
(() => {
    const ask = navigator.mediaDevices.getUserMedia.bind(navigator.mediaDevices);
    navigator.mediaDevices.getUserMedia = (constraints) => {
        const asked = ask(constraints);
        asked.then((stream) => __streams.push(stream), () => {});
        return asked;
    };
    window.AudioContext = class extends AudioContext {
        constructor(...options) { super(...options); __contexts.push(this); }
    };
    const read = AnalyserNode.prototype.getByteTimeDomainData;
    AnalyserNode.prototype.getByteTimeDomainData = function (samples) { __meterReads++; read.call(this, samples); };
    const timeout = window.setTimeout;
    window.setTimeout = (callback, ms, ...rest) => timeout(callback, ms >= 5000 ? ms / 20 : ms, ...rest);
})();
window.__state = () => {
    const live = __streams.flatMap((stream) => stream.getTracks()).filter((track) => track.readyState === "live");
    return JSON.stringify({streams: __streams.length, live: live.length, heard: live.filter((track) => track.enabled).length,
                           contexts: __contexts.map((context) => context.state), reads: __meterReads,
                           ...document.documentElement.dataset});
};
"""
PAUSE_BEFORE_READY = 'document.addEventListener("readystatechange", () => orviaPause(), {once: true});'

PARTS = [".face", ".name", ".invite", ".mic", ".minimize", ".help", ".kiosk"]
CENTRE = PARTS[:4]
LAYOUT = """JSON.stringify((() => {
    const box = (element) => element.getBoundingClientRect().toJSON();
    return {width: innerWidth, height: innerHeight, stage: box(document.querySelector(".stage")),
            scrolls: document.documentElement.scrollHeight > innerHeight || document.documentElement.scrollWidth > innerWidth,
            background: getComputedStyle(document.body).backgroundColor,
            parts: PARTS.map((selector) => {
                const element = document.querySelector(selector);
                // The face's halo reaches past it on purpose; the others hold text that must fit.
                return {selector, ...box(element), font: parseFloat(getComputedStyle(element).fontSize),
                        clips: selector !== ".face" && element.scrollWidth > element.clientWidth + 1};
            })};
})())""".replace("PARTS", json.dumps(PARTS))


def kiosk_code(member_id):
    """FNV-1a of the member identifier's UTF-8 bytes, as support computes it."""
    hash_ = 0x811C9DC5
    for byte in member_id.encode():
        hash_ = ((hash_ ^ byte) * 0x01000193) & 0xFFFFFFFF
    return f"{hash_ >> 16:04X}-{hash_ & 0xFFFF:04X}"


class ShippedPage(PageProgramTest):
    bundled = True
    prelude = RECORDER

    def wait_for_state(self, **expected):
        def reached():
            state = self.state()
            return all(state.get(key) == value for key, value in expected.items())
        wait_until(reached, 15, interval=0.2, message=f"page state {expected}, have {self.state()}")

    def capture(self, constraints):
        return self.page.run(f"navigator.mediaDevices.getUserMedia({constraints}).then(stream => {{"
                             " stream.getTracks().forEach(t => t.stop());"
                             " return 'granted ' + stream.getTracks().map(t => t.kind).sort().join(','); },"
                             " error => 'refused ' + error.name)")

    def state(self):
        """The page's data attributes and what the recorder saw."""
        return json.loads(self.page.run("__state()"))

    def assert_state(self, **expected):
        have = self.state()
        self.assertEqual({key: have[key] for key in expected}, expected)

    def assert_fits(self):
        """Nothing leaves the screen, spills out between header and footer, overlaps, clips its text or
        is written smaller than 14 px."""
        layout = json.loads(self.page.run(LAYOUT))
        width, height, stage, parts = layout["width"], layout["height"], layout["stage"], layout["parts"]
        problems = [what for what, found in [("page scrolls", layout["scrolls"]), ("the body is transparent",
                                             layout["background"] in ("rgba(0, 0, 0, 0)", "transparent"))] if found]
        for part in parts:
            problems += [f"{part['selector']} {what}" for what, found in [
                ("leaves the screen", part["left"] < 0 or part["top"] < 0 or part["right"] > width
                 or part["bottom"] > height),
                ("spills out between header and footer", part["selector"] in CENTRE
                 and (part["top"] < stage["top"] or part["bottom"] > stage["bottom"])),
                ("clips its text", part["clips"]), ("is smaller than 14 px", part["font"] < 14)] if found]
        problems += [f"{a['selector']} overlaps {b['selector']}" for a, b in itertools.combinations(parts, 2)
                     if a["left"] < b["right"] and b["left"] < a["right"] and a["top"] < b["bottom"]
                     and b["top"] < a["bottom"]]
        self.assertEqual(problems, [], f"on a {self.screen} screen, a page {layout['width']} x {layout['height']}")


@needs_mock_devices
class KioskPage(ShippedPage):
    def before_launch(self):
        self.opened_urls = self.desktop.record_default_browser(HANDLED_TYPES)

    def wait_for_interface(self, frame):
        self.desktop.wait_for_geometry(self.interface, frame)

    def test_kiosk_code_messages_links_camera_minimize_control_and_layout(self):
        self.wait_for_state(orviaMic="listening", orviaTracks="1")
        code = kiosk_code(self.page.run("ORVIA_MEMBER_ID"))
        self.assert_state(orviaFace="image", orviaKiosk=code)
        self.assertEqual(self.page.run("document.querySelector('.kiosk').textContent"), f"Kiosk {code}")
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
        self.assert_state(orviaTracks="0")
        box = self.desktop.geometry(bubble)
        self.desktop.x(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2),
                        str(box.y + box.height // 2), "click", "1"])
        self.wait_for_interface(self.work_area)
        self.wait_for_state(orviaState="running", orviaMic="listening", orviaTracks="1")

        # Wake on a shown window sets the frame again, undoing the user's move (kiosk_escape collapses and
        # expands with the messages after each of its parts).
        self.desktop.x(["xdotool", "windowmove", "--sync", self.interface, "40", "30"], check=False)
        self.page.post({"type": "wake"})
        self.wait_for_interface(self.work_area)

        # On this 1440 x 900 screen; PausedBeforeReady has the smallest kiosk screen and a 4K one.
        self.assert_fits()

    def test_a_collapse_keeps_the_microphone_silenced_for_a_minute_then_gives_it_back(self):
        self.wait_for_state(orviaMic="listening", orviaTracks="1")
        self.assert_state(streams=1, live=1, heard=1, contexts=["running"])

        # A quick collapse and expand keeps the microphone and its audio context: the engine pays for
        # every new one.
        self.page.post({"type": "minimize"})
        self.wait_for_state(orviaState="paused")
        self.page.post({"type": "wake"})
        self.wait_for_state(orviaState="running", orviaMic="listening")
        self.assert_state(streams=1, live=1, heard=1, contexts=["running"])

        # Collapsed, nothing is heard or reads the meter; the microphone is kept for the minute
        # (still at its half), then given back.
        collapsed = time.monotonic()
        self.page.post({"type": "minimize"})
        self.wait_for_state(orviaState="paused", orviaMic="off")
        self.assert_state(orviaTracks="0", live=1, heard=0)
        reads = self.state()["reads"]
        time.sleep(max(0.5, collapsed + 1.5 - time.monotonic()))
        self.assert_state(reads=reads, live=1, contexts=["suspended"])
        wait_until(lambda: self.state()["live"] == 0, 15, message="the microphone given back")
        self.assert_state(streams=1, contexts=["closed"])

        # A pause that overtakes a request for the microphone leaves it off, as does a double pause;
        # an expand with a double resume asks for one microphone again.
        self.page.run("orviaResume(); orviaPause()")
        time.sleep(1)
        self.page.run("orviaPause(); orviaPause()")
        self.assert_state(live=0, orviaMic="off")
        self.page.post({"type": "wake"})
        self.page.run("orviaResume(); orviaResume()")
        self.wait_for_state(orviaState="running", orviaMic="listening", orviaTracks="1")
        time.sleep(0.5)
        self.assert_state(live=1, heard=1)


@needs_mock_devices
class PausedBeforeReady(ShippedPage):
    """A page the program pauses before it is ready, with a face image that does not decode, on the
    smallest kiosk screen."""

    prelude = RECORDER + PAUSE_BEFORE_READY
    screen = (900, 620)

    def before_launch(self):
        (self.page.resources / "orvia-default.webp").write_bytes(b"RIFF\0\0\0\0WEBP")

    def test_asks_for_nothing_draws_its_face_and_fits_the_screen(self):
        self.wait_for_state(orviaFace="drawn")
        shown = "getComputedStyle(document.querySelector('%s')).display"
        self.assertEqual([self.page.run(shown % part) for part in (".face-image", ".face-drawn")], ["none", "block"])
        self.assert_state(streams=0, orviaState="paused", orviaMic="off")
        self.assert_fits()
        self.page.run("orviaResume()")
        self.wait_for_state(orviaMic="listening", orviaTracks="1")
        # The camera with the microphone is granted (alone it is refused, and the engine remembers).
        self.assertEqual(self.capture("{audio: true, video: true}"), "granted audio,video")


class PausedBeforeReadyIn4K(PausedBeforeReady):
    screen = (3840, 2160)


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
            seen.add(float(self.page.run("getComputedStyle(document.querySelector('.meter i')).backgroundColor"
                                         ".match(/[\\d.]+/g)[3] ?? 1")))
            time.sleep(0.1)
        self.assertGreaterEqual(max(seen), 0.9, seen)
        self.assertLessEqual(min(seen), 0.3, seen)


if __name__ == "__main__":
    unittest.main()
