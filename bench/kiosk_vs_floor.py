#!/usr/bin/env python3
"""The kiosk next to the floor (a minimal GTK 3 + WebKitGTK program showing the same page) and
Chromium in kiosk mode, on a private Xvfb display with openbox.

Each round runs every contender once, in turn (A B C A B C ...); the first round warms caches and is
not counted. Times are from exec: to the page's first script and its load event (the page reports
Date.now() to a loopback server), and to its first pixels on screen (a probe square of the page's
colour at the top-right corner, watched by bench/xprobe). Then: proportional and resident memory
of the whole process tree 5 s after load, its CPU time over 10 s idle, and over 10 s collapsed
(the floor's and Chromium's windows iconified instead); for the kiosk, collapse latency (the page's
message to the bubble mapped) and expand latency (a click on the bubble to the interface mapped at
its full frame). These warm starts run in a session that has run each contender before.

Each round then starts every contender once more cold in its session, as at the first start after
login: a session bus of its own started for that run and ended after it, a new runtime folder, empty
caches (the engine's, the graphics shader cache, Chromium's profile), nothing of the program
running, and the kernel's page cache dropped before it (sync, then 3 into /proc/sys/vm/drop_caches;
where the system does not allow that, the output and the results say so and the page cache stays
warm). Those give the first script, load event and first pixels marked "cold".

With --voice, a private PulseAudio server's microphone hears a tone, 0.6 s on and 0.6 s off, as when
someone speaks: the kiosk and Chromium (which then grants it without asking) listen and show the level;
the floor grants no microphone.

    bench/kiosk_vs_floor.py [--rounds 5] [--size 1440x900] [--no-chromium] [--kiosk NAME=PROGRAM ...] [--voice]

Builds the kiosk (without mock capture devices) and the tools into build-bench/, prints a table of
medians with the ratios to the floor, and puts it with a chart into docs/benchmarks.md (between its
result markers) and docs/benchmarks.svg. Each --kiosk adds another built kiosk program (its resource
bundle beside it) to the same interleaved rounds, so that one change can be measured alone against
the kiosk it started from.
"""

import argparse
import base64
import contextlib
import datetime
import http.server
import json
import os
import pathlib
import platform
import queue
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "bench"))

from kiosk import Desktop, wait_until  # noqa: E402
import chart  # noqa: E402
import process_tree  # noqa: E402

BUILD = ROOT / "build-bench"
BUNDLE = "OrviaDesktop_OrviaDesktop.bundle"
CHROMIUM = pathlib.Path("/usr/bin/chromium")
PROBE_COLOUR = "13579b"
FACE_TOKEN = "ORVIA_DEFAULT_FACE_DATA"
RESULTS_BEGIN, RESULTS_END = "<!-- results: bench/kiosk_vs_floor.py -->", "<!-- end of results -->"
IDLE_SECONDS = 10.0
SETTLE_SECONDS = 2.0

BEACON = """<script>
(() => {
  const server = "http://127.0.0.1:PORT/";
  const send = (event, t = Date.now()) => fetch(server + "beacon", {method: "POST", mode: "no-cors", keepalive: true,
                                                                     body: JSON.stringify({event, t})});
  send("script");
  // Smoothness: animation frames a second over 2 s, from 1 s after load, and the longest frame.
  const frames = () => {
    const times = [];
    const tick = (now) => {
      times.push(now);
      if (now - times[0] < 2000)
        return requestAnimationFrame(tick);
      const gaps = times.slice(1).map((time, index) => time - times[index]);
      send("frames", (times.length - 1) * 1000 / (now - times[0]));
      send("longest frame", Math.max(...gaps));
    };
    requestAnimationFrame(tick);
  };
  addEventListener("load", () => { send("load"); setTimeout(frames, 1000); });
  // Waits on the server, so it costs nothing while idle.
  (async () => {
    for (;;) {
      try {
        const command = await (await fetch(server + "command", {cache: "no-store"})).text();
        if (command === "minimize") {
          const asked = Date.now();
          window.webkit.messageHandlers.orvia.postMessage({type: "minimize"});
          send("minimize", asked);
        }
      } catch (error) {
        await new Promise((resolve) => setTimeout(resolve, 1000));
      }
    }
  })();
})();
</script>
"""
PROBE = ('<div style="position:fixed;top:0;right:0;width:12px;height:12px;z-index:2147483647;'
         f'background:#{PROBE_COLOUR}"></div>\n')


class BeaconServer:
    """Receives the page's reports and hands it commands."""

    def __init__(self):
        self.events, self.reported = queue.Queue(), {}
        # Commands go to every request waiting when one is given: a page killed mid-wait leaves a
        # request behind that must not swallow the next page's command.
        self.command, self.serial, self.changed = "none", 0, threading.Condition()
        bench = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
                with contextlib.suppress(ValueError):
                    report = json.loads(body)
                    bench.events.put((report["event"], float(report["t"])))
                self._reply(b"")

            def do_GET(self):
                with bench.changed:
                    seen = bench.serial
                    given = bench.changed.wait_for(lambda: bench.serial != seen, timeout=30)
                    command = bench.command if given else "none"
                self._reply(command.encode())

            def _reply(self, body):
                self.send_response(200)
                self.send_header("Access-Control-Allow-Origin", "*")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

            def handle(self):
                # A page that goes away mid-request is no error here.
                with contextlib.suppress(ConnectionError):
                    super().handle()

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def reset(self):
        while not self.events.empty():
            self.events.get_nowait()
        self.reported = {}

    def give(self, command):
        with self.changed:
            self.command, self.serial = command, self.serial + 1
            self.changed.notify_all()

    def wait_for(self, name, timeout=60):
        """The value the page reported for the event, waiting for it; reports may come out of order."""
        deadline = time.monotonic() + timeout
        while name not in self.reported:
            event, value = self.events.get(timeout=max(0.1, deadline - time.monotonic()))
            self.reported[event] = value
        return self.reported.pop(name)


def build():
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Release",
                    "-DORVIA_MOCK_CAPTURE_DEVICES=OFF", "-DBUILD_TESTING=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(BUILD), "-j2", "--target", "kiosk_benchmark_tools"], check=True,
                   stdout=subprocess.DEVNULL)


def prepare(folder, port, built=BUILD / "OrviaDesktop"):
    """A copy of a built kiosk program beside a bundle whose page reports to the beacon server, and
    in that bundle's folder the same page as the kiosk hands its web view, for the others."""
    folder.mkdir(parents=True, exist_ok=True)
    program = folder / "OrviaDesktop"
    shutil.copy2(built, program)
    resources = folder / BUNDLE / "Resources"
    shutil.copytree(built.parent / BUNDLE / "Resources", resources)
    page = (resources / "index.html").read_text()
    page = page.replace("<head>", "<head>\n" + BEACON.replace("PORT", str(port)), 1)
    page = page.replace("</body>", PROBE + "</body>", 1)
    (resources / "index.html").write_text(page)
    face = base64.b64encode((resources / "orvia-default.webp").read_bytes()).decode()
    handed = resources / "handed.html"
    handed.write_text(page.replace(FACE_TOKEN, "data:image/webp;base64," + face))
    return program, handed


class Contender:
    def __init__(self, name, argv, collapses):
        self.name, self.argv, self.collapses = name, argv, collapses


def contenders(program, handed, floor, with_chromium, others, voice):
    base = handed.parent.as_uri() + "/"
    found = [Contender("kiosk", [str(program)], collapses=True)]
    found += [Contender(name, [str(other)], collapses=True) for name, other in others]
    found.append(Contender("floor", [str(floor), str(handed), base], collapses=False))
    if with_chromium and CHROMIUM.exists():
        found.append(Contender("chromium", [str(CHROMIUM), "--kiosk", f"--app={handed.as_uri()}", "--no-first-run",
                                            "--disable-background-networking", "--disable-component-update",
                                            "--disable-sync", "--disable-gpu", "--no-sandbox",
                                            "--user-data-dir=PROFILE"]
                                 + ["--use-fake-ui-for-media-stream"] * voice, collapses=False))
    return found


class Probe:
    """bench/xprobe watching for one event; .result() gives what it printed."""

    def __init__(self, desktop, *arguments):
        self.process = subprocess.Popen([str(BUILD / "bench" / "xprobe"), *arguments], env=desktop.env,
                                        stdout=subprocess.PIPE, text=True)
        if self.process.stdout.readline().strip() != "ready":
            raise RuntimeError("xprobe did not start")

    def result(self, timeout=60):
        # Through the buffer that read "ready": a quick answer may already sit in it.
        self.process.wait(timeout=timeout)
        output = self.process.stdout.read()
        if self.process.returncode != 0:
            raise RuntimeError("xprobe saw nothing")
        return float(output)


def drop_page_cache():
    """Empties the kernel's page cache, as after a reboot; False where the system does not allow it."""
    os.sync()
    try:
        pathlib.Path("/proc/sys/vm/drop_caches").write_text("3\n")
        return True
    except OSError:
        return False


class Session(contextlib.AbstractContextManager):
    """Where a contender runs: warm, the desktop's session with the contender's caches from its
    earlier runs; cold, a session nobody has used yet, with a bus of its own that ends with it."""

    def __init__(self, desktop, name, cold, drop_cache):
        self.home = pathlib.Path(tempfile.mkdtemp(prefix=f"bench-{name}-", dir=desktop.home))
        self.bus = None
        cache = self.home / "cache" if cold else desktop.home / f"cache-{name}"
        # Warm, Chromium finds the profile of its earlier runs: a new one costs it a first run's work.
        self.profile = self.home / "profile" if cold else desktop.home / f"profile-{name}"
        self.env = dict(desktop.env, HOME=str(self.home), XDG_CONFIG_HOME=str(self.home / "config"),
                        XDG_DATA_HOME=str(self.home / "data"), XDG_CACHE_HOME=str(cache),
                        MESA_SHADER_CACHE_DIR=str(cache / "mesa"))
        if not cold:
            return
        runtime = self.home / "runtime"
        runtime.mkdir(mode=0o700)
        self.env["XDG_RUNTIME_DIR"] = str(runtime)
        # The tests' desktop turns GTK's accessibility bridge off; a login session leaves it on.
        self.env.pop("NO_AT_BRIDGE", None)
        if drop_cache:
            drop_page_cache()
        # Services the bus starts (the accessibility bus) stay in its session, and end with it.
        reader, writer = os.pipe()
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", f"--print-address={writer}"],
                                    env=self.env, pass_fds=(writer,), stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(writer)
        with os.fdopen(reader) as address:
            self.env["DBUS_SESSION_BUS_ADDRESS"] = address.readline().strip()

    def __exit__(self, *exc):
        if self.bus:
            end_tree(self.bus)
        shutil.rmtree(self.home, ignore_errors=True)
        return False


def end_tree(process):
    for pid in process_tree.tree(process.pid):
        with contextlib.suppress(ProcessLookupError):
            os.kill(pid, signal.SIGKILL)
    process.wait()


def run_once(desktop, server, contender, session, full):
    """One start of a contender; returns its figures."""
    server.reset()
    argv = [a.replace("PROFILE", str(session.profile)) for a in contender.argv]
    env = session.env
    screen_width = desktop.width
    pixels = Probe(desktop, "pixel", str(screen_width - 4), "4", PROBE_COLOUR)
    started = time.time() * 1000
    process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    figures = {}
    try:
        figures["first script (ms)"] = server.wait_for("script") - started
        figures["load event (ms)"] = server.wait_for("load") - started
        loaded = time.time()
        figures["first pixels (ms)"] = pixels.result() - started
        if not full:
            return figures
        figures["frames/s"] = server.wait_for("frames", timeout=15)
        figures["longest frame (ms)"] = server.wait_for("longest frame", timeout=5)
        time.sleep(max(0.0, loaded + 5 - time.time()))
        figures["PSS (MiB)"], figures["RSS (MiB)"] = process_tree.memory(process.pid)
        used = cpu_over(process.pid)
        figures["CPU expanded (ms/10 s)"] = sum(used.values())
        print(f"  {contender.name} CPU expanded by process (ms/10 s): " + ", ".join(
            f"{name} {ms:.0f}" for name, ms in sorted(used.items(), key=lambda item: -item[1]) if ms >= 1), flush=True)
        if contender.collapses:
            mapped = Probe(desktop, "mapped", "bubble")
            server.give("minimize")
            asked = server.wait_for("minimize", timeout=10)
            figures["collapse (ms)"] = mapped.result() - asked
        else:
            window = desktop.x(["xdotool", "getactivewindow"]).strip()
            desktop.x(["xdotool", "windowminimize", "--sync", window])
        time.sleep(SETTLE_SECONDS)
        figures["CPU collapsed (ms/10 s)"] = sum(cpu_over(process.pid).values())
        if contender.collapses:
            area = desktop.work_area()
            figures["expand (ms)"] = Probe(desktop, "click", "bubble", "interface", str(area.x), str(area.y),
                                           str(area.width), str(area.height)).result()
        return figures
    finally:
        end_tree(process)
        pixels.process.kill()
        time.sleep(0.5)


def cpu_over(pid):
    """Milliseconds of CPU per process name over the idle time."""
    before = process_tree.cpu_seconds(pid)
    time.sleep(IDLE_SECONDS)
    used = process_tree.cpu_used(before, process_tree.cpu_seconds(pid))
    return {name: seconds * 1000 for name, seconds in used.items()}


def summarise(samples):
    """{contender: {figure: [values]}} -> {contender: {figure: (median, min, max)}}"""
    return {name: {figure: (statistics.median(values), min(values), max(values)) for figure, values in figures.items()}
            for name, figures in samples.items()}


def table(summary, names, title):
    figures = list(dict.fromkeys(f for name in names for f in summary.get(name, {})))
    lines = [f"| {title} | " + " | ".join(names) + " |", "|---" * (len(names) + 1) + "|"]
    for figure in figures:
        cells = []
        for name in names:
            value = summary.get(name, {}).get(figure)
            if value is None:
                cells.append("")
                continue
            median, low, high = value
            cell = f"{median:.0f} ({low:.0f}–{high:.0f})"
            floor = summary.get("floor", {}).get(figure)
            if name != "floor" and floor and floor[0] > 0:
                cell += f" **{median / floor[0]:.2f}×**"
            cells.append(cell)
        lines.append(f"| {figure} | " + " | ".join(cells) + " |")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=5, help="counted rounds, after one warm-up round")
    parser.add_argument("--size", default="1440x900")
    parser.add_argument("--no-chromium", action="store_true")
    parser.add_argument("--no-write", action="store_true", help="print only, leave docs/ alone")
    parser.add_argument("--kiosk", action="append", default=[], metavar="NAME=PROGRAM",
                        help="also run another built kiosk, its bundle beside it (built without mock devices)")
    parser.add_argument("--voice", action="store_true", help="the microphone hears a tone, as when someone speaks")
    parser.add_argument("--keep-page-cache", action="store_true",
                        help="cold starts keep the kernel's page cache (spares others on a shared machine)")
    options = parser.parse_args()
    width, height = (int(n) for n in options.size.split("x"))
    build()
    drop_cache = not options.keep_page_cache and drop_page_cache()
    page_cache = "the page cache was dropped before each one" if drop_cache else \
        "the page cache stayed warm (not dropped, as asked)" if options.keep_page_cache else \
        "the page cache stayed warm (this system does not allow dropping it)"
    print(f"Cold starts: {page_cache}", flush=True)

    samples = {}
    with Desktop(width=width, height=height) as desktop:
        if options.voice:
            desktop.start_tone_source()
        server = BeaconServer()
        program, handed = prepare(desktop.home / "kiosk", server.port)
        others = [(name, prepare(desktop.home / name, server.port, pathlib.Path(built).resolve())[0])
                  for name, built in (entry.split("=", 1) for entry in options.kiosk)]
        entrants = contenders(program, handed, BUILD / "bench" / "floor_kiosk", not options.no_chromium, others,
                              options.voice)
        names = [c.name for c in entrants]
        for round_number in range(options.rounds + 1):
            counted = round_number > 0
            # Cold starts need no warm-up.
            # The first warm start after the cold ones finds the page cache dropped; the order turns
            # each round, so no contender takes that every time.
            turn = round_number % len(entrants)
            for cold in (False, True) if counted else (False,):
                for contender in entrants[turn:] + entrants[:turn]:
                    with Session(desktop, contender.name, cold, drop_cache) as session:
                        figures = run_once(desktop, server, contender, session, full=not cold)
                    if cold:
                        figures = {f"cold {figure}": value for figure, value in figures.items()}
                    if counted:
                        for figure, value in figures.items():
                            samples.setdefault(contender.name, {}).setdefault(figure, []).append(value)
                    print(f"round {round_number}{'' if counted else ' (warm-up)'} {contender.name}: " +
                          ", ".join(f"{k} {v:.0f}" for k, v in figures.items()), flush=True)
        server.server.shutdown()

    summary = summarise(samples)
    report = table(summary, names, f"median (min–max) of {options.rounds} runs")
    print(report)
    if not options.no_write:
        write(report, summary, names, options, page_cache)


def write(report, summary, names, options, page_cache):
    """Puts the results between the markers of docs/benchmarks.md, keeping the text around them."""
    machine = f"{os.cpu_count()} cores, {platform.platform()}"
    webkit = subprocess.run(["pkg-config", "--modversion", "webkit2gtk-4.1"], capture_output=True,
                            text=True).stdout.strip()
    chromium = subprocess.run([str(CHROMIUM), "--version"], capture_output=True, text=True).stdout.strip() \
        if CHROMIUM.exists() else "not installed"
    docs = ROOT / "docs"
    (docs / "benchmarks.svg").write_text(chart.bars(summary, names, ["cold first script (ms)", "cold first pixels (ms)",
                                                                     "first script (ms)", "first pixels (ms)",
                                                                     "PSS (MiB)", "CPU expanded (ms/10 s)"]))
    results = f"""{RESULTS_BEGIN}
Measured on {datetime.date.today()}: {machine}; Xvfb {options.size} with openbox; WebKitGTK {webkit};
{chromium}. One warm-up round, then {options.rounds} counted rounds; each cell is the median (min–max),
in bold the ratio to the floor. "cold": the first start in a new session; {page_cache}.

{report}

![The kiosk, the floor and Chromium](benchmarks.svg)
{RESULTS_END}"""
    document = docs / "benchmarks.md"
    text = document.read_text() if document.exists() else f"# Benchmarks\n\n{RESULTS_BEGIN}\n{RESULTS_END}\n"
    before, rest = text.split(RESULTS_BEGIN, 1)
    document.write_text(before + results + rest.split(RESULTS_END, 1)[1])


if __name__ == "__main__":
    main()
