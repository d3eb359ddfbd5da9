"""Nothing a person at the kiosk does in the web view leads out of it: no new window or dialog of
any program appears on the display, the page stays the interface, nothing is downloaded or opened
elsewhere, and the program keeps running and still collapses and expands.

The page is the test page of PageChannel with a few controls added by the test; a loopback server
stands for the rest of the web."""

import json
import os
import pathlib
import time
import unittest

from kiosk import BUILD_DIR, wait_until
from page_channel import LoopbackServer, PageProgramTest

DRAG_SOURCE = pathlib.Path(os.environ.get("ORVIA_DRAG_SOURCE", BUILD_DIR / "tests" / "e2e" / "orvia_drag_source"))

# Elements a person could reach on a page; {away} is the loopback server's address.
CONTROLS = """
<div style="display:grid;grid-template-columns:repeat(3,300px);gap:24px;padding:24px">
  <a id="link" href="{away}/away">a link away</a>
  <a id="blank" href="{away}/away" target="_blank">a link to a new window</a>
  <a id="file" href="file:///etc/hostname">a file link</a>
  <a id="download" href="data:application/octet-stream,kiosk" download="escape-download.bin">a download</a>
  <button id="open" onclick="window.open('{away}/away')">window.open</button>
  <button id="print" onclick="print()">print</button>
  <input id="chooser" type="file">
  <form id="form" action="{away}/away"><input name="q" value="x"><button id="submit">submit</button></form>
  <button id="fullscreen" onclick="document.documentElement.requestFullscreen()">full screen</button>
  <p id="text">plain text to click on</p>
</div>
"""
# Scripts the page runs by itself, without a person's gesture (after the channel has had its answer).
PAGE_SCRIPTS = {
    "location change": "location.href = '{away}/away'",
    "reload": "location.reload()",
    "file location": "location.href = 'file:///etc/hostname'",
    "window.open": "window.open('{away}/away')",
    "print": "print()",
    "history": "history.back()",
}
# Pointer actions on the page's controls: selector, button, modifier key held.
CLICKS = {
    "link": ("#link", 1, None),
    "link to a new window": ("#blank", 1, None),
    "file link": ("#file", 1, None),
    "link with the middle button": ("#link", 2, None),
    "link with Ctrl": ("#link", 1, "ctrl"),
    "window.open from a click": ("#open", 1, None),
    "form submission": ("#submit", 1, None),
    "download link": ("#download", 1, None),
    "print button": ("#print", 1, None),
    "file input": ("#chooser", 1, None),
    "full screen button": ("#fullscreen", 1, None),
    "context menu on the page": ("#text", 3, None),
    "context menu on a link": ("#link", 3, None),
    "the pointer's back button": ("#text", 8, None),
}
# Keys of browsers, of the engine, of the toolkit and of desktops. Alt+F4 is the window manager's
# close request, which collapses the kiosk into its bubble.
KEYS = ["F12", "ctrl+shift+i", "ctrl+shift+c", "ctrl+shift+j", "ctrl+shift+d", "ctrl+r", "F5", "ctrl+p",
        "ctrl+s", "ctrl+o", "ctrl+w", "ctrl+q", "ctrl+t", "ctrl+l", "F11", "alt+Left", "alt+Home", "BackSpace",
        "Menu", "shift+F10", "F10", "ctrl+F1", "ctrl+shift+s", "alt+F4"]
COLLAPSING_KEYS = {"alt+F4"}


class AwayServer(LoopbackServer):
    """The web beyond the page: an ordinary page for any address, one that tells its parent it is
    shown at /framed, a file to download at /attachment."""

    def __init__(self):
        self.paths = []
        super().__init__()

    def answer(self, request):
        self.paths.append(request.path)
        if request.path.startswith("/attachment"):
            return 200, b"kiosk", {"Content-Type": "application/octet-stream",
                                   "Content-Disposition": 'attachment; filename="escape-attachment.bin"'}
        shown = b"<script>parent.postMessage('framed', '*')</script>" if request.path == "/framed" else b"<h1>away</h1>"
        return 200, b"<!doctype html>" + shown, {"Content-Type": "text/html"}


class KioskEscape(PageProgramTest):
    """The program showing the test page with the controls, with GTK's inspector keys allowed, as a
    user's settings may allow them."""

    launch_env = {"GSETTINGS_BACKEND": "keyfile"}

    def before_launch(self):
        keyfile = pathlib.Path(self.desktop.env["XDG_CONFIG_HOME"]) / "glib-2.0" / "settings" / "keyfile"
        keyfile.parent.mkdir(parents=True)
        keyfile.write_text("[org/gtk/settings/debug]\nenable-inspector-keybinding=true\n")
        self.away = AwayServer()
        self.addCleanup(self.away.close)
        self.opened_urls = self.desktop.record_default_browser()

    def test_nothing_leads_out_of_the_page(self):
        self.page.run("document.body.insertAdjacentHTML('beforeend', "
                      f"{json.dumps(CONTROLS.format(away=self.away.address))});"
                      "document.addEventListener('dragenter', () => window.dragEntered = true)")
        self.url = self.page.run("location.href")
        self.baseline = self.visible_windows()
        for part in (self.page_scripts, self.clicks_on_links_and_controls, self.keys, self.tab, self.bubble_buttons,
                     self.links_and_files_dragged_from_another_program, self.fragments_and_frames):
            with self.subTest(part.__name__):
                part()
                # The program still collapses and expands after each part.
                self.collapses_and_expands()

    def visible_windows(self):
        """Every window on the screen that has a name, of whatever program; not the toolkit's 1 x 1
        helper windows off the screen's edge."""
        return {window: title for window, title in self.desktop.shown_windows().items()
                if (box := self.desktop.placement(window)) and box.width > 1 and box.x + box.width > 0}

    def focus_page(self):
        self.desktop.x(["xdotool", "windowactivate", "--sync", self.interface], check=False)
        self.page.click(self.desktop, self.interface, "#text")

    def escapes(self, frame=None, settle=1.5):
        """What the last action opened or changed that it should not have, the interface being
        expected at frame (the work area unless given); empty when nothing."""
        time.sleep(settle)
        found = []
        new = {w: name for w, name in self.visible_windows().items() if w not in self.baseline}
        if new:
            found.append(f"new windows {sorted(new.values())}")
        if self.desktop.geometry(self.interface) != (frame or self.work_area):
            found.append(f"the interface moved to {self.desktop.geometry(self.interface)}")
        # Only the interface runs the channel; the program may load it again (after a hang), nothing else.
        try:
            here = self.page.run("location.href", timeout=5)
            if here != self.url:
                found.append(f"the page is no longer the interface: {here}")
        except Exception:
            found.append("the interface page does not answer")
        files = sorted(p.name for p in self.desktop.home.rglob("escape-*"))
        if files:
            found.append(f"downloaded {files}")
        if self.opened_urls():
            found.append(f"opened {self.opened_urls()}")
        if self.program.poll() is not None:
            found.append(f"the program ended with {self.program.returncode}")
        return found

    def collapses_and_expands(self):
        self.page.post({"type": "minimize"})
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        self.page.post({"type": "wake"})
        self.desktop.wait_for_geometry(self.interface, self.work_area)

    def check_each(self, actions, perform):
        for name, action in actions:
            with self.subTest(name):
                perform(action)
                self.assertEqual(self.escapes(), [])

    def page_scripts(self):
        run_soon = lambda script: self.page.run(f"setTimeout(() => {{ {script} }}, 200)")
        self.check_each(PAGE_SCRIPTS.items(), lambda script: run_soon(script.format(away=self.away.address)))

    def clicks_on_links_and_controls(self):
        def click(action):
            selector, button, modifier = action
            if modifier:
                self.desktop.x(["xdotool", "keydown", modifier])
            try:
                self.page.click(self.desktop, self.interface, selector, button)
            finally:
                if modifier:
                    self.desktop.x(["xdotool", "keyup", modifier])
            # Away from the element, whose tool tip (a window of its own) would count as a new one.
            self.desktop.x(["xdotool", "mousemove", "1300", "700"])

        self.check_each(CLICKS.items(), click)

    def keys(self):
        self.focus_page()

        def press(keys):
            self.desktop.x(["xdotool", "key", "--clearmodifiers", keys])
            if keys in COLLAPSING_KEYS:
                self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
                self.page.post({"type": "wake"})
                self.desktop.wait_for_geometry(self.interface, self.work_area)

        self.check_each([(keys, keys) for keys in KEYS], press)

    def tab(self):
        """Tab leaves the page only for the title bar and its menu, drawn inside the window with the
        program's own items."""
        self.focus_page()
        wait_until(lambda: self.desktop.x(["xdotool", "key", "Tab"]) is not None
                   and self.page.run("String(document.hasFocus())") == "false", 10, interval=0.2,
                   message="the keyboard leaving the page")
        self.desktop.x(["xdotool", "key", "Return"])
        self.assertEqual(self.escapes(), [])
        self.desktop.x(["xdotool", "key", "Escape"])

    def bubble_buttons(self):
        """The bubble answers only a click of the primary button."""
        self.page.post({"type": "minimize"})
        bubble = self.desktop.window("bubble")
        self.desktop.wait_for_geometry(self.interface, self.desktop.collapsed_frame())
        baseline, self.baseline = self.baseline, self.visible_windows()
        box = self.desktop.geometry(bubble)
        for button in ("3", "2"):
            self.desktop.x(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2),
                             str(box.y + box.height // 2), "click", button])
        self.assertEqual(self.escapes(frame=self.desktop.collapsed_frame()), [])
        self.desktop.x(["xdotool", "click", "1"])
        self.desktop.wait_for_geometry(self.interface, self.work_area)
        self.baseline = baseline

    def links_and_files_dragged_from_another_program(self):
        dropped = self.desktop.home / "dropped.html"
        dropped.write_text("<!doctype html><h1>dropped</h1>")
        baseline = self.baseline
        for name, address in [("link", f"{self.away.address}/dropped"), ("file", dropped.as_uri())]:
            with self.subTest(name):
                self.page.run("window.dragEntered = false")
                source = self.desktop.launch(DRAG_SOURCE, arguments=[address])
                try:
                    window = wait_until(lambda: self.desktop.x(["xdotool", "search", "--onlyvisible", "--pid",
                                                                 str(source.pid), "--name", "^drag source$"],
                                                                check=False).split(), 10, message="the drag source")[0]
                    # The new window answers the pointer a moment after it is shown.
                    time.sleep(1)
                    self.baseline = self.visible_windows()
                    box = self.desktop.geometry(window)
                    x, y = box.x + box.width // 2, box.y + box.height // 2
                    self.desktop.x(["xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "1",
                                     "sleep", "0.3", "mousemove", "--sync", str(x + 30), str(y + 30), "sleep", "0.3",
                                     "mousemove", "--sync", "700", "500", "sleep", "0.5",
                                     "mousemove", "--sync", "720", "520", "sleep", "0.5", "mouseup", "1"])
                    found = self.escapes()
                finally:
                    source.kill()
                    source.wait(10)
                self.assertEqual(found, [])
                # Unset too where the page was loaded again, having lost its process to the drop.
                self.assertEqual(self.page.run("window.dragEntered"), "true", "the drag reached this page")
        self.baseline = baseline

    def fragments_and_frames(self):
        """The page keeps its own fragments; a frame goes where the page sends it; what a frame cannot
        show is not downloaded either."""
        self.assertEqual(self.page.run("location.hash = 'kiosk'; location.hash"), "#kiosk")
        self.url = self.page.run("location.href")
        shown = self.page.run(
            "new Promise(resolve => { addEventListener('message', event => resolve(event.data));"
            f" document.body.insertAdjacentHTML('beforeend', '<iframe src={self.away.address}/framed></iframe>"
            f"<iframe src={self.away.address}/attachment></iframe>'); }})")
        self.assertEqual(shown, "framed")
        wait_until(lambda: "/attachment" in self.away.paths, 10, message="the frame asking for the file")
        self.assertEqual(self.escapes(), [])


if __name__ == "__main__":
    unittest.main()
