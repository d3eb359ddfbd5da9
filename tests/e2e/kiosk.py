"""Drives the real OrviaDesktop under a private X display, as a person and a window manager would.

A test opens a `Desktop` (Xvfb + openbox + a session bus, torn down on exit), starts the program
with `desktop.launch()` and inspects its windows with the X tools (xdotool, xwininfo, xprop).
Coordinates here are X11's: origin at the top left of the screen.
"""

import contextlib
import dataclasses
import os
import pathlib
import re
import shutil
import signal
import subprocess
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent
BUILD_DIR = pathlib.Path(os.environ.get("ORVIA_BUILD_DIR", HERE.parent.parent / "build")).resolve()
PROGRAM = pathlib.Path(os.environ.get("ORVIA_PROGRAM", BUILD_DIR / "OrviaDesktop"))
ARTIFACTS = pathlib.Path(os.environ.get("ORVIA_ARTIFACTS", BUILD_DIR / "artifacts"))

# Leaves a bar at the bottom so that the work area differs from the screen.
OPENBOX_CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <margins><top>0</top><bottom>{bottom}</bottom><left>0</left><right>0</right></margins>
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <desktops><number>2</number></desktops>
</openbox_config>
"""


@dataclasses.dataclass(frozen=True)
class Geometry:
    x: int
    y: int
    width: int
    height: int


def wait_until(predicate, timeout=15.0, interval=0.1, message="condition"):
    """Polls until predicate() gives a true value, and returns it."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout}s waiting for {message}")
        time.sleep(interval)


def process_status(pid):
    """(parent, session) of a running process, or None once it has ended (a zombie has)."""
    try:
        fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        return (int(fields[1]), int(fields[3])) if fields[0] != "Z" else None
    except (OSError, IndexError, ValueError):
        return None


def session_members(leader):
    """The running processes in the session that leader started, as every launched program does."""
    return [int(entry.name) for entry in pathlib.Path("/proc").iterdir()
            if entry.name.isdigit() and (process_status(entry.name) or (0, 0))[1] == leader]


def assert_ended_for_good(program, watch=10.0):
    """Waits for every process of the launched program to end, then checks that none comes back."""
    wait_until(lambda: not session_members(program.pid), 10, message="every process of the program to end")
    deadline = time.monotonic() + watch
    while time.monotonic() < deadline:
        if session_members(program.pid):
            raise AssertionError(f"the program came back: {session_members(program.pid)}")
        time.sleep(0.5)


class Desktop(contextlib.AbstractContextManager):
    """A private X display with a window manager and a session bus."""

    def __init__(self, width=1440, height=900, bottom_margin=48, session_bus=True):
        self.width, self.height, self.bottom_margin = width, height, bottom_margin
        self.home = pathlib.Path(tempfile.mkdtemp(prefix="orvia-e2e-"))
        self.env = dict(os.environ)
        self._processes = []
        self._programs = []
        self.display = None
        try:
            self._start(session_bus)
        except BaseException:
            self.close()
            raise

    def _start(self, session_bus):
        self.display = self._start_x_server()
        self.env.update(
            DISPLAY=self.display,
            HOME=str(self.home),
            XDG_CONFIG_HOME=str(self.home / "config"),
            XDG_DATA_HOME=str(self.home / "data"),
            XDG_CACHE_HOME=str(self.home / "cache"),
            XDG_RUNTIME_DIR=str(self.home / "runtime"),
            GDK_BACKEND="x11",
            NO_AT_BRIDGE="1",
        )
        for folder in ("config", "data", "cache", "runtime"):
            (self.home / folder).mkdir(mode=0o700)
        if session_bus:
            # In its own process group with the services it starts, so that teardown ends them all.
            reader, writer = os.pipe()
            self._spawn(["dbus-daemon", "--session", "--nofork", f"--print-address={writer}"], pass_fds=(writer,))
            os.close(writer)
            with os.fdopen(reader) as address:
                self.env["DBUS_SESSION_BUS_ADDRESS"] = address.readline().strip()
        config = self.home / "openbox.xml"
        config.write_text(OPENBOX_CONFIG.format(bottom=self.bottom_margin))
        openbox = self._spawn(["openbox", "--config-file", str(config)])
        try:
            wait_until(lambda: "_NET_WORKAREA(CARDINAL) =" in self.x(["xprop", "-root", "_NET_WORKAREA"],
                                                                     check=False), 20, message="openbox")
        except AssertionError as error:
            log = (self.home / "openbox.log").read_text()
            raise AssertionError(f"{error}; openbox {openbox.poll()} said: {log}") from None
        self.x(["xsetroot", "-solid", "#3b4252"], check=False)

    def _start_x_server(self):
        # Xvfb picks a free display itself and names it once it is ready, so that test runs side by
        # side never share one.
        reader, writer = os.pipe()
        self._x_server = self._spawn(["Xvfb", "-displayfd", str(writer), "-noreset", "-screen", "0",
                                      f"{self.width}x{self.height}x24", "-nolisten", "tcp"], pass_fds=(writer,))
        os.close(writer)
        with os.fdopen(reader) as ready:
            number = ready.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        return f":{number}"

    def _spawn(self, argv, **kwargs):
        log = open(self.home / f"{pathlib.Path(argv[0]).name}.log", "w")
        process = subprocess.Popen(argv, env=self.env, stdout=log, stderr=log, start_new_session=True, **kwargs)
        log.close()
        self._processes.append(process)
        return process

    def x(self, argv, check=True):
        """Runs an X tool on this display and returns what it printed."""
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise AssertionError(f"{argv} failed: {result.stderr.strip()}")
        return result.stdout

    # The program -------------------------------------------------------------------------------

    def launch(self, program=PROGRAM, env=None, cwd=None, arguments=()):
        """Starts the program; its output is captured in .stdout / .stderr files beside the home."""
        environment = dict(self.env)
        environment.update(env or {})
        index = len(self._programs)
        stdout = open(self.home / f"program{index}.out", "w+")
        stderr = open(self.home / f"program{index}.err", "w+")
        process = subprocess.Popen([str(program), *arguments], env=environment, stdout=stdout, stderr=stderr,
                                   start_new_session=True, cwd=cwd)
        process.output_files = (stdout, stderr)
        self._programs.append(process)
        return process

    @staticmethod
    def stderr_of(process):
        process.output_files[1].flush()
        return pathlib.Path(process.output_files[1].name).read_text()

    def record_default_browser(self, types=("x-scheme-handler/https", "x-scheme-handler/http")):
        """Makes a recorder the user's default handler for the given types; returns a function that
        gives the addresses it was started with, in order."""
        record = self.home / "opened.txt"
        recorder = self.home / "record-url"
        recorder.write_text(f"#!/bin/sh\nprintf '%s\\n' \"$1\" >> '{record}'\n")
        recorder.chmod(0o755)
        applications = pathlib.Path(self.env["XDG_DATA_HOME"]) / "applications"
        applications.mkdir(parents=True, exist_ok=True)
        (applications / "orvia-test-browser.desktop").write_text(
            "[Desktop Entry]\nType=Application\nName=Test Browser\nNoDisplay=true\n"
            f"Exec={recorder} %u\nMimeType={';'.join(types)};\n")
        defaults = "[Default Applications]\n" + "".join(f"{t}=orvia-test-browser.desktop\n" for t in types)
        (pathlib.Path(self.env["XDG_CONFIG_HOME"]) / "mimeapps.list").write_text(defaults)
        (applications / "mimeapps.list").write_text(defaults)
        return lambda: record.read_text().splitlines() if record.exists() else []

    # Windows -----------------------------------------------------------------------------------

    def windows(self, role=None):
        """The program's top-level windows (X class OrviaDesktop), optionally of one role."""
        found = self.x(["xdotool", "search", "--classname", "^OrviaDesktop$"], check=False).split()
        result = []
        for window in found:
            properties = self.x(["xprop", "-id", window, "WM_WINDOW_ROLE", "WM_CLASS"], check=False)
            if "WM_CLASS" not in properties or '"OrviaDesktop", "OrviaDesktop"' not in properties:
                continue
            if role is None or f'WM_WINDOW_ROLE(STRING) = "{role}"' in properties:
                result.append(window)
        return result

    def window(self, role, timeout=20.0, not_owned_by=None):
        """Waits for the one mapped window of the role, of another process than not_owned_by when
        given, and returns its id. (The X server hands an ended client's window ids to the next one.)"""
        def mapped():
            candidates = [w for w in self.windows(role) if self.is_viewable(w)]
            if len(candidates) == 1 and (not_owned_by is None or self.owner(candidates[0]) not in (None, not_owned_by)):
                return candidates[0]
            return None
        return wait_until(mapped, timeout, message=f"a mapped {role} window")

    def is_viewable(self, window):
        return "Map State: IsViewable" in self.x(["xwininfo", "-id", window], check=False)

    def geometry(self, window):
        return self._geometry(self.x(["xwininfo", "-id", window]))

    def placement(self, window):
        """The window's geometry while it is mapped and viewable, else None: one X round trip, for
        tight polling."""
        info = self.x(["xwininfo", "-id", window], check=False)
        return self._geometry(info) if "Map State: IsViewable" in info else None

    @staticmethod
    def _geometry(info):
        value = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
        return Geometry(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                        value("Height"))

    def owner(self, window):
        """The id of the process that owns the window, or None once the window is gone."""
        pid = self.x(["xdotool", "getwindowpid", window], check=False).strip()
        return int(pid) if pid.isdigit() else None

    def title(self, window):
        return self.x(["xdotool", "getwindowname", window]).strip()

    def net_wm_state(self, window):
        return self.x(["xprop", "-id", window, "_NET_WM_STATE"], check=False)

    def is_on_every_desktop(self, window):
        # openbox shows a sticky window as being on desktop 0xFFFFFFFF rather than in _NET_WM_STATE.
        return "= 4294967295" in self.x(["xprop", "-id", window, "_NET_WM_DESKTOP"], check=False)

    def is_iconic(self, window):
        return "Iconic" in self.x(["xprop", "-id", window, "WM_STATE"], check=False)

    def work_area(self):
        numbers = [int(n) for n in re.findall(r"\d+", self.x(["xprop", "-root", "_NET_WORKAREA"]).split("=")[1])]
        return Geometry(*numbers[:4])

    def collapsed_frame(self):
        """Where the collapsed interface sits: 2 x 2 at the work area's bottom-left corner."""
        area = self.work_area()
        return Geometry(area.x, area.y + area.height - 2, 2, 2)

    def wait_for_geometry(self, window, expected, timeout=10):
        wait_until(lambda: self.geometry(window) == expected, timeout,
                   message=f"geometry {expected}, have {self.geometry(window)}")

    def window_under_pointer(self, x, y):
        self.x(["xdotool", "mousemove", "--sync", str(x), str(y)])
        return re.search(r"WINDOW=(\d+)", self.x(["xdotool", "getmouselocation", "--shell"])).group(1)

    def screenshot(self, name):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        path = ARTIFACTS / name
        self.x(["import", "-window", "root", str(path)])
        return path

    def end_session(self):
        """Stops the X server, as the end of a login session does."""
        self._x_server.terminate()
        self._x_server.wait(10)

    # Teardown ----------------------------------------------------------------------------------

    def close(self):
        for process in self._programs + list(reversed(self._processes)):
            # Programs are killed outright (as a crash would); the X server is asked to stop so
            # that it removes its lock.
            stop = signal.SIGKILL if process in self._programs else signal.SIGTERM
            if process.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(process.pid, stop)
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    with contextlib.suppress(ProcessLookupError):
                        os.killpg(process.pid, signal.SIGKILL)
                    process.wait(5)
            for handle in getattr(process, "output_files", ()):
                handle.close()
        # A document portal started on the bus (where one is installed) may have left its file
        # system mounted there; whoever installed the portal installed FUSE's tools with it.
        portal = self.home / "runtime" / "doc"
        fusermount = shutil.which("fusermount3") or shutil.which("fusermount")
        if os.path.ismount(portal) and fusermount:
            subprocess.run([fusermount, "-u", "-z", str(portal)], capture_output=True)
        if os.environ.get("ORVIA_KEEP_E2E_HOME") is None:
            with contextlib.suppress(OSError):
                shutil.rmtree(self.home, ignore_errors=True)

    def __exit__(self, *exc):
        self.close()
        return False
