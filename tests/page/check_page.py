"""Loads the kiosk page in headless Chromium the way the shell does (a copy of the resources folder, the
face token replaced or left) and checks its behaviour, its layout at kiosk screen sizes and that no
script error or failed load happens on the way."""

import argparse
import base64
import json
import pathlib
import shutil
import sys
import tempfile
import time

from devtools import Browser, Page, PageError

TOKEN = "ORVIA_DEFAULT_FACE_DATA"
MEMBER_ID = "5C7D0B0E-92F1-4D2A-8E6B-3A1F0C9D2E47"
SIZES = [(900, 620), (1180, 780), (1440, 900), (3840, 2160)]

# Stands in for the shell's bootstrap and message handler, and records what the page does with the
# microphone and with animation frames so the checks can see leaks.
BOOTSTRAP = """
window.ORVIA_MEMBER_ID = %(member)s;
window.ORVIA_KIOSK = true;
window.__posted = [];
window.webkit = {messageHandlers: {orvia: {postMessage(body) { window.__posted.push(JSON.parse(JSON.stringify(body))); }}}};
"""
RECORDER = """
window.__streams = [];
window.__frames = 0;
const realFrame = window.requestAnimationFrame.bind(window);
window.requestAnimationFrame = (callback) => { window.__frames++; return realFrame(callback); };
if (navigator.mediaDevices) {
    const realAsk = navigator.mediaDevices.getUserMedia.bind(navigator.mediaDevices);
    navigator.mediaDevices.getUserMedia = (constraints) => {
        const asked = realAsk(constraints);
        asked.then((stream) => window.__streams.push(stream), () => {});
        return asked;
    };
}
window.__contexts = [];
window.AudioContext = class extends window.AudioContext {
    constructor(...options) { super(...options); window.__contexts.push(this); }
};
window.__liveTracks = () => window.__streams.flatMap((s) => s.getTracks()).filter((t) => t.readyState === "live").length;
window.__heardTracks = () => window.__streams.flatMap((s) => s.getTracks()).filter((t) => t.readyState === "live" && t.enabled).length;
// The minute a paused page keeps its microphone passes in 0.3 s here.
const realTimeout = window.setTimeout.bind(window);
window.setTimeout = (callback, ms, ...rest) => realTimeout(callback, ms >= 60000 ? 300 : ms, ...rest);
"""
PAUSE_BEFORE_READY = """
document.addEventListener("readystatechange", () => window.orviaPause && window.orviaPause(), {once: true});
"""

CENTRE = (".face", ".name", ".invite", ".mic")
LAYOUT = """(() => {
    const parts = [".face", ".name", ".invite", ".mic", ".minimize", ".help", ".kiosk"];
    const boxes = parts.map((selector) => {
        const element = document.querySelector(selector);
        const box = element.getBoundingClientRect();
        return {selector, left: box.left, top: box.top, right: box.right, bottom: box.bottom,
                // The face's halo reaches past it on purpose; the others hold text that must fit.
                overflows: selector !== ".face" && element.scrollWidth > element.clientWidth + 1,
                font: parseFloat(getComputedStyle(element).fontSize)};
    });
    const stage = document.querySelector(".stage").getBoundingClientRect();
    return {width: innerWidth, height: innerHeight, boxes, stage: {top: stage.top, bottom: stage.bottom},
            scrolls: document.documentElement.scrollHeight > innerHeight || document.documentElement.scrollWidth > innerWidth,
            background: getComputedStyle(document.body).backgroundColor};
})()"""


def kiosk_code(member_id):
    hash_ = 0x811C9DC5
    for byte in member_id.encode():
        hash_ = ((hash_ ^ byte) * 0x01000193) & 0xFFFFFFFF
    text = f"{hash_:08X}"
    return f"{text[:4]}-{text[4:]}"


def data(page, name):
    return page.eval(f"document.documentElement.dataset.{name}")


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, what, actual, expected):
        if actual != expected:
            self.failures.append(f"{what}: expected {expected!r}, got {actual!r}")

    def truth(self, what, condition):
        if not condition:
            self.failures.append(what)


def layout_problems(layout):
    problems = []
    width, height = layout["width"], layout["height"]
    boxes, stage = layout["boxes"], layout["stage"]
    if layout["scrolls"]:
        problems.append("page scrolls")
    if layout["background"] in ("rgba(0, 0, 0, 0)", "transparent"):
        problems.append("body background is transparent")
    for box in boxes:
        if box["left"] < 0 or box["top"] < 0 or box["right"] > width or box["bottom"] > height:
            problems.append(f"{box['selector']} leaves the screen")
        if box["selector"] in CENTRE and (box["top"] < stage["top"] or box["bottom"] > stage["bottom"]):
            problems.append(f"{box['selector']} spills out of the space between header and footer")
        if box["overflows"]:
            problems.append(f"{box['selector']} clips its text")
        if box["font"] < 14:
            problems.append(f"{box['selector']} text is smaller than 14 px")
    for index, first in enumerate(boxes):
        for second in boxes[index + 1 :]:
            if not (first["right"] <= second["left"] or second["right"] <= first["left"]
                    or first["bottom"] <= second["top"] or second["bottom"] <= first["top"]):
                problems.append(f"{first['selector']} overlaps {second['selector']}")
    return problems


def check_layout(page, checks, name, shots):
    for width, height in SIZES:
        page.resize(width, height)
        page.eval("new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))")
        for problem in layout_problems(page.eval(LAYOUT)):
            checks.failures.append(f"{width}x{height}: {problem}")
        if shots:
            page.screenshot(shots / f"{name}-{width}x{height}.png")


def shell_with_microphone(page, checks, shots):
    checks.expect("face", data(page, "orviaFace"), "image")
    checks.expect("kiosk code", data(page, "orviaKiosk"), kiosk_code(MEMBER_ID))
    checks.expect("kiosk text", page.eval("document.querySelector('.kiosk').textContent"), f"Kiosk {kiosk_code(MEMBER_ID)}")
    page.wait_for("document.documentElement.dataset.orviaMic === 'listening'")
    checks.expect("tracks while listening", data(page, "orviaTracks"), "1")
    page.wait_for("parseFloat(document.querySelector('.halo').style.opacity) > 0.45")
    check_layout(page, checks, "embedded", shots)
    page.resize(1440, 900)

    # A quick collapse and expand keeps the microphone it had: the engine pays for every new one.
    made = page.eval("[__streams.length, __contexts.length]")
    page.eval("orviaPause(); orviaResume()")
    checks.expect("mic after a quick pause and resume", data(page, "orviaMic"), "listening")
    checks.expect("microphones and audio contexts made by a quick pause and resume",
                  page.eval("[__streams.length, __contexts.length]"), made)
    checks.expect("heard tracks after a quick pause and resume", page.eval("__heardTracks()"), 1)

    page.eval("orviaPause(); orviaPause()")
    checks.expect("state after pause", data(page, "orviaState"), "paused")
    checks.expect("mic after pause", data(page, "orviaMic"), "off")
    checks.expect("tracks after pause", data(page, "orviaTracks"), "0")
    checks.expect("heard tracks after pause", page.eval("__heardTracks()"), 0)
    page.wait_for("__liveTracks() === 0")
    page.wait_for("__contexts.every((context) => context.state === 'closed')")
    checks.expect("running animations while paused",
                  page.eval("document.getAnimations().filter((a) => a.playState === 'running').length"), 0)
    frames = page.eval("__frames")
    time.sleep(0.5)
    checks.expect("animation frames requested while paused", page.eval("__frames"), frames)

    page.eval("orviaResume(); orviaResume()")
    checks.expect("state after resume", data(page, "orviaState"), "running")
    page.wait_for("document.documentElement.dataset.orviaMic === 'listening'")
    time.sleep(0.5)
    checks.expect("live tracks after a double resume", page.eval("__liveTracks()"), 1)
    checks.truth("running animations after resume", page.eval("document.getAnimations().some((a) => a.playState === 'running')"))

    # A pause that overtakes a pending microphone request must not leave the microphone on.
    page.eval("orviaPause()")
    page.wait_for("__liveTracks() === 0")
    page.eval("orviaResume(); orviaPause()")
    time.sleep(1.0)
    checks.expect("live tracks after a pause overtook the request", page.eval("__liveTracks()"), 0)
    checks.expect("mic after the overtaken request", data(page, "orviaMic"), "off")
    page.eval("orviaResume()")
    page.wait_for("document.documentElement.dataset.orviaMic === 'listening'")

    page.eval("document.getElementById('minimize').click(); document.getElementById('help').click()")
    checks.expect("messages", page.eval("__posted"),
                  [{"type": "minimize"}, {"type": "openExternal", "url": "https://orvia.ai/help"}])
    checks.truth("help link stays out of the kiosk view", page.eval("location.href.endsWith('/index.html')"))


def browser_without_microphone(page, checks, shots):
    checks.expect("face", data(page, "orviaFace"), "drawn")
    checks.expect("image hidden", page.eval("getComputedStyle(document.getElementById('face-image')).display"), "none")
    checks.expect("drawn face shown", page.eval("getComputedStyle(document.querySelector('.face-drawn')).display"), "block")
    checks.expect("kiosk code", data(page, "orviaKiosk"), "none")
    page.wait_for("document.documentElement.dataset.orviaMic === 'unavailable'")
    checks.expect("mic text", page.eval("document.getElementById('mic-text').textContent"), "Microphone unavailable")
    check_layout(page, checks, "token-left", shots)
    page.resize(1440, 900)
    page.eval("orviaResume(); orviaPause(); orviaPause(); orviaResume(); orviaResume()")
    page.wait_for("document.documentElement.dataset.orviaMic === 'unavailable'")
    checks.expect("state", data(page, "orviaState"), "running")
    checks.expect("tracks", data(page, "orviaTracks"), "0")
    page.eval("document.getElementById('minimize').click()")


def paused_before_ready(page, checks, shots):
    checks.expect("broken embedded image falls back", data(page, "orviaFace"), "drawn")
    checks.expect("state", data(page, "orviaState"), "paused")
    checks.expect("mic", data(page, "orviaMic"), "off")
    checks.expect("microphone requests while paused", page.eval("__streams.length"), 0)
    page.eval("orviaResume()")
    page.wait_for("document.documentElement.dataset.orviaMic === 'listening'")
    checks.expect("tracks", data(page, "orviaTracks"), "1")


SCENARIOS = [
    # name, face token replacement, bootstrap, microphone permission, extra script, checks
    ("shell", "webp", BOOTSTRAP % {"member": json.dumps(MEMBER_ID)}, "granted", "", shell_with_microphone),
    ("browser", None, "", "denied", "", browser_without_microphone),
    ("early-pause", "broken", BOOTSTRAP % {"member": "undefined"}, "granted", PAUSE_BEFORE_READY, paused_before_ready),
]


def prepare(resources, work, replacement):
    """A copy of the resources folder with the face token treated as the shell would."""
    folder = work / (replacement or "plain")
    shutil.copytree(resources, folder)
    if replacement == "webp":
        url = "data:image/webp;base64," + base64.b64encode((resources / "orvia-default.webp").read_bytes()).decode()
    elif replacement == "broken":
        url = "data:image/webp;base64,AAAA"
    else:
        return folder / "index.html"
    html = folder / "index.html"
    html.write_text(html.read_text(encoding="utf-8").replace(TOKEN, url), encoding="utf-8")
    return html


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--chromium", required=True)
    parser.add_argument("--resources", required=True, type=pathlib.Path)
    parser.add_argument("--shots", type=pathlib.Path, help="folder for screenshots at each size")
    options = parser.parse_args()
    if options.shots:
        options.shots.mkdir(parents=True, exist_ok=True)

    failed = False
    browser = Browser(options.chromium, ["--use-fake-device-for-media-stream",
                                         "--autoplay-policy=no-user-gesture-required", "--hide-scrollbars"])
    try:
        with tempfile.TemporaryDirectory(prefix="orvia-page-") as work:
            for name, replacement, bootstrap, microphone, extra, scenario in SCENARIOS:
                checks = Checks()
                html = prepare(options.resources, pathlib.Path(work), replacement)
                browser.call("Browser.setPermission", {"permission": {"name": "microphone"}, "setting": microphone})
                page = Page(browser, 1440, 900)
                try:
                    page.on_new_document(bootstrap + RECORDER + extra)
                    page.open(html.as_uri())
                    page.wait_for("document.documentElement.dataset.orviaFace")
                    scenario(page, checks, options.shots)
                    time.sleep(0.3)
                    page.eval("0")  # collects what arrived meanwhile
                except PageError as error:
                    checks.failures.append(str(error))
                finally:
                    page.close()
                checks.failures.extend(page.problems)
                failed |= bool(checks.failures)
                print(f"{'FAIL' if checks.failures else 'ok  '} {name}")
                for failure in checks.failures:
                    print(f"     {failure}")
    finally:
        browser.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
