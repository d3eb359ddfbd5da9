#!/usr/bin/env python3
"""Soak: the real program through thousands of collapse and expand cycles and assorted page messages.

Runs the built program (ORVIA_BUILD_DIR, default build/) under a private Xvfb with openbox, on the
shipped page with the end-to-end tests' page channel added, so that the page's own pause and resume
run at every collapse and expand. Each cycle collapses the interface with the page's "minimize"
message and expands it again with a click on the bubble, or every fourth cycle with the page's "wake"
message; it waits for the windows themselves to change. Between cycles the page posts the assorted
messages in batches, half of them while expanded and half while collapsed: valid ones that keep the
mode, and hostile ones (1 MB strings, objects and arrays nested 10,000 deep, wrong types, unknown
types, web links refused for their scheme or their form, values JSON cannot carry). Every thousandth
message is a real web link, and exactly those must reach the default browser.

Prints the resident (RSS), proportional (PSS) and anonymous memory of the program and every process
below it (the web engine's web and network processes and the sandbox's helpers) at the start and
after every tenth of the cycles, always expanded and settled, the time per cycle, and a verdict:
memory levels off when the anonymous memory of all processes grows by less than LEVEL_OFF_PERCENT
from the middle of the run to its end (means of three samples each). At the end the program must be
expanded, and collapse and expand again promptly. Exits non-zero when a check fails.

    bench/soak.py [--cycles 2000] [--messages 10000] [--size 1440x900]

Build with -DORVIA_MOCK_CAPTURE_DEVICES=ON so that every expand starts the page's microphone again.
"""

import argparse
import contextlib
import json
import math
import pathlib
import queue
import re
import statistics
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from kiosk import PROGRAM, Desktop, Geometry  # noqa: E402
from process_tree import tree as process_tree  # noqa: E402
from page_channel import PageChannel  # noqa: E402

LEVEL_OFF_PERCENT = 3.0
STEPS = 10  # memory samples over the run, besides the one at the start
SETTLE = 1.0  # seconds expanded before a memory sample, for the page's microphone to start again
PROMPT = 2.0  # seconds a transition may take at the end
TRANSITION_TIMEOUT = 20.0
DRAINED = "https://example.com/soak/drained/"
BATCH_EVERY = 10  # cycles
WAKE_EVERY = 4  # cycles; the others expand by a click on the bubble
WEB_LINK_EVERY = 1000  # messages
BUBBLE_SIDE, BUBBLE_MARGIN = 112, 24
OPENED_TYPES = ["x-scheme-handler/https", "x-scheme-handler/http", "x-scheme-handler/mailto",
                "x-scheme-handler/javascript", "x-scheme-handler/file", "x-scheme-handler/data",
                "x-scheme-handler/ftp", "x-scheme-handler/ws", "x-scheme-handler/about", "text/plain",
                "text/html", "inode/directory"]
RSS, PSS, ANONYMOUS, COUNT = range(4)
SAMPLE_READINGS = 6
PROCESS_GROUPS = {"OrviaDesktop": "program", "WebKitWebProces": "web", "WebKitNetworkPr": "network"}

# Defines orviaSoak in the page. batch(first, count, same) posts the messages first .. first+count-1,
# where `same` is the valid type that keeps the current mode ("wake" expanded, "minimize" collapsed).
PAGE_SCRIPT = r"""
window.orviaSoak = (function () {
  const MB = 1 << 20;
  const DEPTH = 10000;
  const big = "x".repeat(MB);
  const deep = make => { let value = make(null); for (let i = 1; i < DEPTH; i++) value = make(value); return value; };
  const deepArray = deep(inner => inner === null ? [] : [inner]);
  const deepObject = deep(inner => inner === null ? {} : {type: "minimize", inner});
  const cyclic = {}; cyclic.self = cyclic;
  const wideObject = {}; for (let i = 0; i < 100000; i++) wideObject["k" + i] = i;
  const sparse = []; sparse[99999] = "minimize";
  const refusedLinks = [
    "file:///etc/passwd", "file:///", "FILE:///etc/shadow", "javascript:alert(document.cookie)",
    "JaVaScRiPt:alert(1)", "mailto:help@example.com", "data:text/html,<script>alert(1)</script>",
    "ftp://example.com/", "ws://127.0.0.1/", "about:blank", "x-orvia://wake", "/relative/path",
    "example.com", "//example.com/no-scheme", "HTTPS://example.com/shouting", "Http://example.com/",
    "https:example.com", "https:/example.com", "https://", "https://:443/", "http://@/", "http:///path",
    " https://example.com/leading-space", "https://example.com/trailing-space ", "https://exa mple.com/",
    "https://example.com/\n", "https://example.com/%zz", "https://example.com/%", "https://\u00fcnic\u00f6de.example/",
    "https://example.com/\u0000", "\u0000https://example.com/", "https\u200b://example.com/", "",
    "https://example.com/" + " ".repeat(MB), "javascript:" + "/".repeat(MB)];
  const unknownTypes = ["Minimize", "MINIMIZE", "minimize ", " wake", "wake\u0000", "Wake", "openexternal",
    "open_external", "", "quit", "terminate", "close", "administratorExit", "showOrvia", "restoreFromBubble",
    "checkForUpdates", "reload", "eval", "__proto__", "constructor", "toString", "\ud800", big];
  const buffer = new ArrayBuffer(MB);
  const bytes = new Uint8Array(MB);
  const wrongValues = same => [
    "minimize", ["minimize"], [{type: "minimize"}], 42, -0, NaN, Infinity, true, null, undefined,
    {type: 1}, {type: null}, {type: true}, {type: ["minimize"]}, {type: {type: "minimize"}}, {kind: "minimize"}, {},
    {type: "openExternal"}, {type: "openExternal", url: 42}, {type: "openExternal", url: null},
    {type: "openExternal", url: ["https://example.com/"]}, {type: "openExternal", url: {href: "https://example.com/"}},
    {type: "openExternal", href: "https://example.com/"}, {type: "openExternal", URL: "https://example.com/"},
    new Date(), /minimize/, new Map([["type", "minimize"]]), new Set(["minimize"]), buffer, bytes,
    12345678901234567890n, {type: same, big: 1n}, {type: same, cyclic}, cyclic, wideObject, sparse,
    new Error("minimize"), () => "minimize", Symbol("minimize"), {type: same, f() {}}, document.body, window];
  const kinds = [
    same => big,
    same => ({type: big}),
    same => ({type: same, padding: big}),
    same => ({type: "openExternal", url: "file://" + big}),
    same => deepArray,
    same => ({type: same, nested: deepObject}),
    same => ({type: deepObject}),
    same => ({type: "openExternal", url: deepArray}),
  ];
  for (let n = 0; n < 4; n++) kinds.push((same, i) => ({type: "openExternal", url: refusedLinks[(Math.floor(i / 20) * 4 + n) % refusedLinks.length]}));
  for (let n = 0; n < 4; n++) kinds.push((same, i) => { const values = wrongValues(same); return values[(Math.floor(i / 20) * 4 + n) % values.length]; });
  for (let n = 0; n < 4; n++) kinds.push((same, i) => ({type: unknownTypes[(Math.floor(i / 20) * 4 + n) % unknownTypes.length], url: "https://example.com/unknown"}));

  function batch(first, count, same) {
    let posted = 0, refused = 0;
    for (let i = first; i < first + count; i++) {
      const body = i % WEB_LINK_EVERY === 0 ? {type: "openExternal", url: "https://example.com/soak/" + i}
                                           : kinds[i % kinds.length](same, i);
      try {
        window.webkit.messageHandlers.orvia.postMessage(body);
        posted++;
      } catch (error) {
        refused++; // values the engine cannot send (functions, symbols, nodes, windows)
      }
    }
    return JSON.stringify({posted, refused});
  }
  return {batch, kinds: kinds.length};
})();
"""


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, math.ceil(fraction * len(ordered)) - 1)]


def memory_now(root):
    """kB of RSS, PSS and anonymous memory, and the process count, per process group of the program's tree."""
    totals = {}
    for pid in process_tree(root):
        try:
            name = pathlib.Path(f"/proc/{pid}/comm").read_text().strip()
            rollup = pathlib.Path(f"/proc/{pid}/smaps_rollup").read_text()
        except OSError:
            continue
        kilobytes = lambda field: int(re.search(rf"^{field}:\s+(\d+) kB", rollup, re.M).group(1))
        group = totals.setdefault(PROCESS_GROUPS.get(name, "helpers"), [0, 0, 0, 0])
        group[RSS] += kilobytes("Rss")
        group[PSS] += kilobytes("Pss")
        group[ANONYMOUS] += kilobytes("Anonymous")
        group[COUNT] += 1
    return totals


def memory(root):
    """The reading with the least anonymous memory of a few over some seconds: garbage the engines
    have not collected yet comes and goes between them, what is kept stays."""
    readings = []
    for _ in range(SAMPLE_READINGS):
        readings.append(memory_now(root))
        time.sleep(1.0)
    return min(readings, key=lambda totals: total(totals, ANONYMOUS))


def web_processes(root):
    found = []
    for pid in process_tree(root):
        try:
            if pathlib.Path(f"/proc/{pid}/comm").read_text().strip() == "WebKitWebProces":
                found.append(pid)
        except OSError:
            pass
    return found


class Soak:
    def __init__(self, desktop, page, program):
        self.desktop, self.page, self.program = desktop, page, program
        self.failures = []
        self.cycle = 0
        self.interface = desktop.window("interface", timeout=30)
        page.wait_for_page(60)
        self.area = desktop.work_area()
        self.collapsed = desktop.collapsed_frame()
        self.corner = Geometry(self.area.x + self.area.width - BUBBLE_SIDE - BUBBLE_MARGIN,
                               self.area.y + self.area.height - BUBBLE_MARGIN - BUBBLE_SIDE, BUBBLE_SIDE, BUBBLE_SIDE)
        self.bubble = None
        self.wait_for(self.is_expanded, "expanded at launch")
        self.sequence = 0
        self.answer(PAGE_SCRIPT.replace("WEB_LINK_EVERY", str(WEB_LINK_EVERY)), 60)
        self.reloads = 0

    def run(self, script, timeout=20):
        """Runs a script in the page; a page that does not answer in time (late, or its web process
        ended and the program loaded it again) is a failure, and the soak waits for it and goes on."""
        try:
            return self.answer(script, timeout)
        except queue.Empty:
            self.check(False, f"cycle {self.cycle}: the page did not answer; web processes now "
                              f"{web_processes(self.program.pid)}")
        self.reloads += 1
        try:
            self.answer(PAGE_SCRIPT.replace("WEB_LINK_EVERY", str(WEB_LINK_EVERY)), 120)
        except queue.Empty:
            raise SystemExit("FAIL: the page did not come back within 120 s") from None
        return None

    def answer(self, script, timeout):
        """The page's answer to this script: answers that come late to earlier ones are skipped."""
        self.sequence += 1
        tagged = (f"Promise.resolve((0, eval)({json.dumps(script)}))"
                  f".then((value) => JSON.stringify([{self.sequence}, String(value)]))")
        deadline = time.monotonic() + timeout
        answer = self.page.run(tagged, timeout)
        while True:
            with contextlib.suppress(ValueError, TypeError):
                sequence, value = json.loads(answer)
                if sequence == self.sequence:
                    return value
            answer = self.page.posted.get(timeout=max(0.01, deadline - time.monotonic())).get("value")

    def is_expanded(self):
        return (self.desktop.placement(self.interface) == self.area
                and (self.bubble is None or self.desktop.placement(self.bubble) is None))

    def is_collapsed(self):
        return (self.desktop.placement(self.interface) == self.collapsed
                and self.desktop.placement(self.bubble) == self.corner)

    def wait_for(self, predicate, what):
        """Polls tightly for the windows' state; a state not reached in time is a failure, counted with
        its time, and the soak goes on (the next transition sets both windows again)."""
        deadline = time.monotonic() + TRANSITION_TIMEOUT
        while not predicate():
            if time.monotonic() > deadline:
                self.check(False, f"cycle {self.cycle}: not {what} after {TRANSITION_TIMEOUT:g} s: interface "
                                  f"{self.desktop.placement(self.interface)}, bubble "
                                  f"{self.bubble and self.desktop.placement(self.bubble)}")
                break
            time.sleep(0.002)
        return time.monotonic()

    def collapse(self):
        start = time.monotonic()
        self.run('window.webkit.messageHandlers.orvia.postMessage({"type": "minimize"})')
        if self.bubble is None:
            self.bubble = self.desktop.window("bubble")
        return self.wait_for(self.is_collapsed, "collapsed after the page's minimize") - start

    def expand(self, by_wake):
        start = time.monotonic()
        if by_wake:
            self.run('window.webkit.messageHandlers.orvia.postMessage({"type": "wake"})')
        else:
            box = self.corner
            # No --sync: the pointer is often already there, and the server takes the events in order.
            self.desktop.x(["xdotool", "mousemove", str(box.x + box.width // 2),
                            str(box.y + box.height // 2), "click", "1"])
        return self.wait_for(self.is_expanded, "expanded after " + ("the page's wake" if by_wake else "a bubble click")) - start

    def drain(self, opened, k):
        """Waits until the program has handled a batch posted while collapsed: the page answers when it
        has posted the messages, and a click on the bubble before their minimizes were handled is
        undone by them. The program handles messages in order, so a web link posted last opens after
        all of them."""
        marker = DRAINED + str(k)
        self.run(f'window.webkit.messageHandlers.orvia.postMessage({{"type": "openExternal", "url": "{marker}"}})', 60)
        deadline = time.monotonic() + TRANSITION_TIMEOUT
        while marker not in opened() and time.monotonic() < deadline:
            time.sleep(0.05)
        self.check(marker in opened(), f"cycle {self.cycle}: batch {k} not handled after {TRANSITION_TIMEOUT:g} s")

    def page_state(self):
        return self.run("const r = document.documentElement.dataset; r.orviaState + ' ' + r.orviaMic") or "no answer"

    def check(self, condition, failure):
        if not condition:
            print("FAIL:", failure, flush=True)
            self.failures.append(failure)


def megabytes(kilobytes):
    return f"{kilobytes / 1024:.1f}"


def total(totals, field):
    return sum(group[field] for group in totals.values())


def print_memory_table(samples):
    groups = ["program", "web", "network", "helpers"]
    print("\n| sample | cycles | messages | processes | " + " | ".join(f"{g} RSS / PSS / anon" for g in groups)
          + " | total RSS | total PSS | total anon |")
    print("|---|---:|---:|---:|" + "---:|" * len(groups) + "---:|---:|---:|")
    for label, cycles, messages, totals in samples:
        cells = [" / ".join(megabytes(totals[g][f]) for f in (RSS, PSS, ANONYMOUS)) if g in totals else "-"
                 for g in groups]
        print(f"| {label} | {cycles} | {messages} | {total(totals, COUNT)} | " + " | ".join(cells)
              + "".join(f" | {megabytes(total(totals, f))}" for f in (RSS, PSS, ANONYMOUS)) + " |")
    print("(MB; helpers: the sandbox's bwrap and xdg-dbus-proxy processes; anon: anonymous memory (heaps, stacks), which no other program's use of the same libraries moves)")


def summary(name, seconds):
    if not seconds:
        return f"{name}: none"
    ms = [1000 * s for s in seconds]
    return (f"{name}: n {len(ms)}, median {statistics.median(ms):.0f} ms, p95 {percentile(ms, 0.95):.0f} ms, "
            f"max {max(ms):.0f} ms")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cycles", type=int, default=2000)
    parser.add_argument("--messages", type=int, default=10000)
    parser.add_argument("--size", default="1440x900")
    options = parser.parse_args()
    if options.cycles < STEPS or options.messages < 0:
        sys.exit(f"--cycles must be at least {STEPS}, --messages at least 0")
    if not PROGRAM.exists():
        sys.exit(f"no program at {PROGRAM}: build it first, or set ORVIA_BUILD_DIR")
    width, height = (int(n) for n in options.size.split("x"))
    batches = max(1, math.ceil(options.cycles / BATCH_EVERY)) if options.messages else 0
    batch_at = {k * options.cycles // batches + 1: k for k in range(batches)}
    steps = {round(options.cycles * s / STEPS): s for s in range(1, STEPS + 1)}

    with Desktop(width=width, height=height) as desktop:
        opened = desktop.record_default_browser(OPENED_TYPES)
        page = PageChannel(desktop.home / "app", bundled=True)
        try:
            program = desktop.launch(page.program)
            soak = Soak(desktop, page, program)
            first_web = web_processes(program.pid)
            print(f"program {PROGRAM} (pid {program.pid}), screen {options.size}, {options.cycles} cycles, "
                  f"{options.messages} messages in {batches} batches, web engine processes "
                  f"{len(process_tree(program.pid)) - 1}", flush=True)
            time.sleep(2 * SETTLE)
            soak.check(soak.page_state() == "running listening", f"page at start: {soak.page_state()}")
            samples = [("start", 0, 0, memory(program.pid))]
            collapse_times, click_times, wake_times, cycle_times, batch_times = [], [], [], [], []
            sent = refused = 0
            started = time.monotonic()

            def send_batch(k, same):
                nonlocal sent, refused
                first = k * options.messages // batches
                count = (k + 1) * options.messages // batches - first
                begin = time.monotonic()
                answer = soak.run(f"orviaSoak.batch({first}, {count}, {json.dumps(same)})", timeout=300)
                try:
                    result = json.loads(answer) if answer else None
                except ValueError:
                    result = None
                if not isinstance(result, dict):
                    # A late answer to an earlier script: the page channel is out of step.
                    soak.check(answer is None, f"cycle {cycle}: batch {k} answered {answer!r:.80}")
                    result = {"posted": 0, "refused": 0}
                batch_times.append((time.monotonic() - begin, count))
                sent += result["posted"]
                refused += result["refused"]

            for cycle in range(1, options.cycles + 1):
                soak.cycle = cycle
                k = batch_at.get(cycle)
                if k is not None and k % 2 == 0:
                    send_batch(k, "wake")
                down = soak.collapse()
                if k is not None and k % 2 == 1:
                    send_batch(k, "minimize")
                    soak.drain(opened, k)
                if cycle in steps:
                    paused = soak.page_state()
                by_wake = cycle % WAKE_EVERY == 0
                up = soak.expand(by_wake)
                collapse_times.append(down)
                (wake_times if by_wake else click_times).append(up)
                cycle_times.append(down + up)
                if cycle in steps:
                    # The page's own state in both modes, then memory expanded and settled.
                    time.sleep(SETTLE)
                    running = soak.page_state()
                    soak.check(paused.startswith("paused") and running == "running listening",
                               f"page after cycle {cycle}: collapsed '{paused}', expanded '{running}'")
                    totals = memory(program.pid)
                    samples.append((f"{10 * steps[cycle]}%", cycle, sent + refused, totals))
                    print(f"{10 * steps[cycle]:3d}% cycle {cycle}, messages {sent + refused}, "
                          f"{time.monotonic() - started:.0f} s: total RSS {megabytes(total(totals, RSS))}, "
                          f"PSS {megabytes(total(totals, PSS))}, anon {megabytes(total(totals, ANONYMOUS))} MB ("
                          + ", ".join(f"{g} {megabytes(v[ANONYMOUS])}" for g, v in totals.items())
                          + f"); cycle median {1000 * statistics.median(cycle_times):.0f} ms", flush=True)
            elapsed = time.monotonic() - started

            # The end: expanded after an expand, and one more collapse and expand, promptly.
            soak.check(soak.is_expanded(), "not expanded after the last expand")
            soak.check("_NET_WM_STATE_ABOVE" in desktop.net_wm_state(soak.interface), "interface not above others")
            down = soak.collapse()
            paused = soak.page_state()
            up = soak.expand(by_wake=False)
            time.sleep(SETTLE)
            running = soak.page_state()
            soak.check(down < PROMPT and up < PROMPT, f"final collapse {down:.2f} s, expand {up:.2f} s")
            soak.check(paused.startswith("paused") and running == "running listening",
                       f"page at the end: collapsed '{paused}', expanded '{running}'")
            soak.check(program.poll() is None, "the program ended")
            last_web = web_processes(program.pid)
            soak.check(last_web == first_web, f"web process replaced: {first_web} -> {last_web}")
            time.sleep(2)
            expected = [f"https://example.com/soak/{i}" for i in range(0, options.messages, WEB_LINK_EVERY)]
            links = [link for link in opened() if not link.startswith(DRAINED)]
            soak.check(links == expected, f"opened {links[:20]}, expected {expected}")
        finally:
            page.close()

    print(f"\n{options.cycles} cycles and {sent + refused} messages ({sent} posted, {refused} refused by the "
          f"engine itself) in {elapsed:.0f} s")
    print_memory_table(samples)
    print("\n" + summary("cycle (collapse + expand)", cycle_times))
    print(summary("collapse by the page's minimize", collapse_times))
    print(summary("expand by a bubble click", click_times))
    print(summary("expand by the page's wake", wake_times))
    batch_seconds = sum(t for t, _ in batch_times)
    print(f"message batches: {len(batch_times)}, {sent + refused} messages in {batch_seconds:.1f} s "
          f"({(sent + refused) / batch_seconds if batch_seconds else 0:.0f} per second, page side)")
    print(f"the page did not answer in time (late, or loaded again after its web process ended): {soak.reloads} times")
    print(f"final collapse {1000 * down:.0f} ms, expand {1000 * up:.0f} ms; web links opened: {len(links)} "
          f"of {len(expected)} sent" + (", nothing else" if links == expected else ""))

    # The engines free in bursts, so one sample can sit on a peak or in a trough: each side of the
    # comparison is the mean of three samples, 40-60 % and 80-100 %.
    middle, end = [sample[3] for sample in samples[STEPS // 2 - 1:STEPS // 2 + 2]], [sample[3] for sample in samples[-3:]]
    mean = lambda window, field, group=None: statistics.mean(
        total(t, field) if group is None else t.get(group, [0] * 4)[field] for t in window)

    def growth(field, group=None):
        before = mean(middle, field, group)
        return 100 * (mean(end, field, group) - before) / before if before else 0.0

    per_group = lambda field: ", ".join(f"{g} {growth(field, g):+.1f} %" for g in ("program", "web", "network", "helpers"))
    anonymous = growth(ANONYMOUS)
    levels_off = anonymous < LEVEL_OFF_PERCENT
    print(f"\nfrom the middle (mean of 40-60 %) to the end (mean of 80-100 %): total anonymous {anonymous:+.1f} % "
          f"({per_group(ANONYMOUS)}); total PSS {growth(PSS):+.1f} % ({per_group(PSS)})")
    print("verdict: " + ("memory levels off" if levels_off else "memory GROWS")
          + f" (anonymous memory, limit {LEVEL_OFF_PERCENT:g} %; PSS also moves with other programs mapping the same libraries)")
    print("checks: " + ("all passed" if not soak.failures else f"{len(soak.failures)} FAILED"))
    sys.exit(0 if levels_off and not soak.failures else 1)


if __name__ == "__main__":
    main()
