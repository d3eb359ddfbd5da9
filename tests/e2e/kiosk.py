"""Drives the real OrviaDesktop under a private X display, as a person and a window manager would.

A test opens a `Desktop` (Xvfb + a window manager, openbox unless told otherwise, + a session bus,
torn down on exit), starts the program with `desktop.launch()` and inspects its windows with the X
tools (xdotool, xwininfo, xprop). Coordinates here are X11's: origin at the top left of the screen.
"""

import contextlib
import ctypes
import ctypes.util
import dataclasses
import math
import os
import pathlib
import re
import shutil
import signal
import subprocess
import struct
import tempfile
import time
import wave

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

# The window managers a Desktop can run, as Debian 12's desktops run them. "mutter-wayland" is GNOME's
# Wayland session: mutter as a headless Wayland compositor, the program on its XWayland display.
WINDOW_MANAGERS = {
    "openbox": None,
    "xfwm4": ["xfwm4", "--replace"],
    "kwin_x11": ["kwin_x11", "--replace"],
    "mutter-x11": ["mutter", "--x11", "--replace", "--sm-disable"],
    "mutter-wayland": None,
}


@dataclasses.dataclass(frozen=True)
class Geometry:
    x: int
    y: int
    width: int
    height: int


_XLIB = None


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


def descendants(pid):
    children = {}
    for entry in pathlib.Path("/proc").iterdir():
        if entry.name.isdigit() and (status := process_status(entry.name)):
            children.setdefault(status[0], []).append(int(entry.name))
    found = [pid]
    for parent in found:
        found += children.get(parent, [])
    return found[1:]


def command_name(pid):
    with contextlib.suppress(OSError):
        return pathlib.Path(f"/proc/{pid}/comm").read_text().strip()


def ancestry(pid):
    """The names of the process and of its parents, up to the first."""
    names = []
    while pid > 1:
        names.append(command_name(pid))
        pid = (process_status(pid) or (0, 0))[0]
    return names


def web_processes(program):
    """The program's WebKitWebProcess children (the kernel keeps 15 characters of the name)."""
    return [pid for pid in descendants(program.pid) if command_name(pid) == "WebKitWebProces"]


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

    def __init__(self, width=1440, height=900, bottom_margin=48, session_bus=True, window_manager="openbox"):
        """bottom_margin leaves a strip below the work area, under openbox only."""
        self.width, self.height, self.bottom_margin = width, height, bottom_margin
        self.window_manager = window_manager
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
        self.env.update(
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
        wayland = self.window_manager == "mutter-wayland"
        if not wayland:
            self.display = self.env["DISPLAY"] = self._start_x_server()
        if session_bus or wayland:
            # In its own process group with the services it starts, so that teardown ends them all.
            reader, writer = os.pipe()
            self._spawn(["dbus-daemon", "--session", "--nofork", f"--print-address={writer}"], pass_fds=(writer,))
            os.close(writer)
            with os.fdopen(reader) as address:
                self.env["DBUS_SESSION_BUS_ADDRESS"] = address.readline().strip()
        if wayland:
            self._start_wayland_compositor()
        elif self.window_manager == "openbox":
            config = self.home / "openbox.xml"
            config.write_text(OPENBOX_CONFIG.format(bottom=self.bottom_margin))
            self._spawn(["openbox", "--config-file", str(config)])
        else:
            self._spawn(WINDOW_MANAGERS[self.window_manager])
        try:
            wait_until(self._window_manager_ready, 60, message=self.window_manager)
        except AssertionError as error:
            log = (self.home / f"{self.window_manager.split('-')[0]}.log").read_text()[-2000:]
            raise AssertionError(f"{error}; it said: {log}") from None
        self.x(["xsetroot", "-solid", "#3b4252"], check=False)

    def _start_wayland_compositor(self):
        # mutter starts XWayland and hands its display to the command it runs (closing every other
        # file), which writes it down and stays for as long as the session should.
        names = self.home / "wayland-session"
        self._spawn(["mutter", "--wayland", "--headless", "--virtual-monitor", f"{self.width}x{self.height}",
                     "--", "sh", "-c", f'echo "$DISPLAY $XAUTHORITY $WAYLAND_DISPLAY" > {names}.new; '
                     f'mv {names}.new {names}; exec sleep infinity'])
        wait_until(names.exists, 60, message="mutter's XWayland display")
        display, authority, wayland = names.read_text().split()
        self.display = display
        self.env.update(DISPLAY=display, XAUTHORITY=authority, WAYLAND_DISPLAY=wayland, XDG_SESSION_TYPE="wayland")

    def _window_manager_ready(self):
        check = self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).split("#")
        if len(check) < 2 or "_NET_WM_NAME" not in self.x(["xprop", "-id", check[1].strip(), "_NET_WM_NAME"],
                                                          check=False):
            return False
        # openbox's margin is part of the desktop the tests expect.
        return self.window_manager != "openbox" or "_NET_WORKAREA(CARDINAL) =" in self.x(
            ["xprop", "-root", "_NET_WORKAREA"], check=False)

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

    def start_tone_source(self):
        """A private PulseAudio server whose default source hears a tone, 0.6 s on and 0.6 s off,
        as a real microphone would hear someone speak."""
        tone, on = self.home / "tone.wav", [int(12000 * math.sin(math.pi * n / 54.5)) for n in range(28800)]
        with wave.open(str(tone), "wb") as file:  # 48 kHz: 0.6 s of 440 Hz, then 0.6 s of silence
            file.setparams((1, 2, 48000, 0, "NONE", None))
            file.writeframes(struct.pack(f"<{len(on)}h", *on) + bytes(2 * len(on)))
        self.env["PULSE_RUNTIME_PATH"] = str(self.home / "runtime" / "pulse")
        self._spawn(["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                     "--load=module-native-protocol-unix", "--load=module-null-sink sink_name=voice",
                     # The engine offers no monitor of an output as a microphone: a source of its own.
                     "--load=module-remap-source master=voice.monitor source_name=microphone"])
        wait_until(lambda: "microphone" in self.x(["pactl", "list", "short", "sources"], check=False), 20,
                   message="PulseAudio")
        self.x(["pactl", "set-default-source", "microphone"])
        self._spawn(["sh", "-c", f"while :; do paplay -d voice '{tone}'; done"])

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

    def start(self, program=PROGRAM, env=None):
        """Launches the program and waits until its interface fills the work area; gives the
        process and the interface window."""
        process = self.launch(program, env=env)
        interface = self.window("interface")
        self.wait_for_geometry(interface, self.work_area())
        return process, interface

    @staticmethod
    def stderr_of(process):
        process.output_files[1].flush()
        return pathlib.Path(process.output_files[1].name).read_text()

    def record_default_browser(self, types=("x-scheme-handler/https", "x-scheme-handler/http")):
        """Makes a recorder the user's default handler for the given types; returns a function that
        gives the addresses it was started with, in order. A setting the kiosk makes for its engine
        alone, found in the handler's environment, follows its address."""
        record = self.home / "opened.txt"
        recorder = self.home / "record-url"
        recorder.write_text(f"#!/bin/sh\nprintf '%s%s\\n' \"$1\" \"${{WEBKIT_DISABLE_DMABUF_RENDERER:+ inherited}}\" >> '{record}'\n")
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

    def shown_windows(self, title="."):
        """{window: title} of the windows of any program shown on the screen whose title matches."""
        found = self.x(["xdotool", "search", "--onlyvisible", "--name", title], check=False).split()
        return {window: self.x(["xdotool", "getwindowname", window], check=False).strip() for window in found}

    def net_wm_state(self, window):
        return self.x(["xprop", "-id", window, "_NET_WM_STATE"], check=False)

    def is_on_every_desktop(self, window):
        # openbox shows a sticky window as being on desktop 0xFFFFFFFF rather than in _NET_WM_STATE.
        return "= 4294967295" in self.x(["xprop", "-id", window, "_NET_WM_DESKTOP"], check=False)

    def is_iconic(self, window):
        return "Iconic" in self.x(["xprop", "-id", window, "WM_STATE"], check=False)

    def work_area(self):
        """The work area the window manager announces, or the screen where it announces none (kwin_x11
        without panels); GTK falls back to the screen alike."""
        announced = self.x(["xprop", "-root", "_NET_WORKAREA"], check=False).split("=")
        if len(announced) < 2:
            return Geometry(0, 0, self.width, self.height)
        return Geometry(*[int(n) for n in re.findall(r"\d+", announced[1])][:4])

    def collapsed_frame(self):
        """Where the collapsed interface sits: 2 x 2 at the work area's bottom-left corner."""
        area = self.work_area()
        return Geometry(area.x, area.y + area.height - 2, 2, 2)

    def wait_for_geometry(self, window, expected, timeout=10):
        wait_until(lambda: self.geometry(window) == expected, timeout,
                   message=f"geometry {expected}, have {self.geometry(window)}")

    def window_under_pointer(self, x, y):
        self.x(["xdotool", "mousemove", "--sync", str(x), str(y)])
        return int(re.search(r"WINDOW=(\d+)", self.x(["xdotool", "getmouselocation", "--shell"])).group(1))

    def frame_of(self, window):
        """The top-level window the window manager put the client into (the client itself where it
        put it into none)."""
        while True:
            tree = self.x(["xwininfo", "-tree", "-id", str(window)])
            root, parent = (int(re.search(label + r" window id: (0x[0-9a-f]+)", tree).group(1), 16)
                            for label in ("Root", "Parent"))
            if parent == root:
                return int(window)
            window = parent

    def input_shape_is_empty(self, window):
        """Whether no point of the window takes the pointer (an empty X input shape)."""
        count = ctypes.c_int(-1)
        self._ask_x(lambda x11, shape, saver, display: shape.XShapeGetRectangles(
            display, ctypes.c_ulong(int(window)), 2, ctypes.byref(count), ctypes.byref(ctypes.c_int())))  # ShapeInput
        return count.value == 0

    def screen_saver_on(self):
        """Whether the X screen saver blanks the screen now; None where the server has none (XWayland)."""
        info = (ctypes.c_int * 12)()  # XScreenSaverInfo, whose state is the third int

        def ask(x11, shape, saver, display):
            known = saver.XScreenSaverQueryExtension(display, ctypes.byref(ctypes.c_int()), ctypes.byref(ctypes.c_int()))
            return known and saver.XScreenSaverQueryInfo(display, ctypes.c_ulong(x11.XDefaultRootWindow(display)), info)
        return info[2] == 1 if self._ask_x(ask) else None  # ScreenSaverOn

    def _ask_x(self, ask):
        """ask(x11, shape, saver, display) on a connection of this process to the display, for what the
        X tools do not tell; an X error (a window gone) fails that request, not the process."""
        global _XLIB
        if _XLIB is None:
            _XLIB = [ctypes.CDLL(ctypes.util.find_library(name)) for name in ("X11", "Xext", "Xss")]
            _XLIB[0].XOpenDisplay.restype = _XLIB[1].XShapeGetRectangles.restype = ctypes.c_void_p
            _XLIB.append(ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda *_: 0))
            _XLIB[0].XSetErrorHandler(_XLIB[3])
        saved = dict(os.environ)
        os.environ["XAUTHORITY"] = self.env.get("XAUTHORITY", "")
        display = ctypes.c_void_p(_XLIB[0].XOpenDisplay(self.display.encode()))
        os.environ.clear(), os.environ.update(saved)
        try:
            return ask(*_XLIB[:3], display)
        finally:
            _XLIB[0].XCloseDisplay(display)

    def grey(self, window, width=None, height=None):
        """(darkest, mean) grey level, from 0 black to 1 white, of the top left width x height pixels
        of the window (all of it by default) as the screen shows them; white where that fails."""
        box = self.geometry(window)
        shot = self.home / "probe.png"
        self.x(["import", "-window", "root", "-crop", f"{width or box.width}x{height or box.height}+{box.x}+{box.y}",
                str(shot)])
        measured = self.x(["convert", str(shot), "-colorspace", "Gray", "-format", "%[fx:minima] %[fx:mean]",
                           "info:"], check=False).split()
        return tuple(map(float, measured)) if len(measured) == 2 else (1.0, 1.0)

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
