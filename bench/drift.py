#!/usr/bin/env python3
"""Drift: the memory of the real program over a long, untouched run.

Runs a build of the program (ORVIA_BUILD_DIR, default build/) under a private Xvfb with openbox on
its shipped page, expanded or collapsed into the bubble, for a given number of minutes, and samples
the anonymous memory and PSS of every process of its tree (the program, the engine's web and network
processes, the sandbox's helpers) at every interval. Prints a table, the growth of the last two
thirds (least-squares slope, MB a minute, and per cent from the first sample of that part to the
last), and with --chart draws it as SVG.

    bench/drift.py [--minutes 60] [--interval 60] [--collapsed] [--variant NAME ...] [--chart FILE]

--variant changes the page of a copy of the build for an experiment (see VARIANTS; some apply to
the page of an earlier commit, which --page-commit brings back, as docs/memory.md says); --env adds
environment variables of the program (and of the web process it starts); --program runs another
build. Build with -DORVIA_MOCK_CAPTURE_DEVICES=ON for a microphone without a sound card.
"""

import argparse
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from kiosk import PROGRAM, Desktop, wait_until  # noqa: E402
from process_tree import tree as process_tree  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUNDLE = "OrviaDesktop_OrviaDesktop.bundle"
PAGE_SOURCE = "OrviaDesktop/Resources"
GROUPS = {"OrviaDesktop": "program", "WebKitWebProces": "web", "WebKitNetworkPr": "network"}
COLUMNS = ["program", "web", "network", "helpers"]
STILL = "<style>*, *::before, *::after { animation: none !important; }</style>"
BARE_PAGE = ("<!DOCTYPE html><html><head><meta charset='utf-8'><script>{script}</script></head>"
             "<body style='margin:0;background:#1d2433'><div id='d' style='width:200px;height:200px;"
             "background:#88c0d0'></div></body></html>")


def edit(file, old, new):
    def apply(resources):
        path = resources / file
        text = path.read_text()
        if old not in text:
            raise SystemExit(f"variant: '{old[:40]}' not found in {file}")
        path.write_text(text.replace(old, new, 1))
    return apply


def together(*changes):
    def apply(resources):
        for change in changes:
            change(resources)
    return apply


def page(script):
    def apply(resources):
        (resources / "index.html").write_text(BARE_PAGE.format(script=script))
    return apply


# Experiments on the page, one change each.
VARIANTS = {
    # CSS animations (breathe, blink, pulse) stopped; the level meter still runs.
    "still": edit("index.html", "</head>", STILL + "</head>"),
    # The analyser runs but is never read: the meter's timer never starts.
    "meter-unread": edit("orvia.js", "        meterTimer = setTimeout(drawLevel, METER_MS);\n    }\n\n    function drawLevel",
                         "    }\n\n    function drawLevel"),
    # The analyser reads a quarter of the samples.
    "fft-256": edit("orvia.js", "analyser.fftSize = 1024;", "analyser.fftSize = 256;"),
    # The meter ticks on one repeating timer instead of a new timer per tick.
    "meter-interval": together(
        edit("orvia.js", "        meterTimer = setTimeout(drawLevel, METER_MS);\n    }\n\n    function drawLevel",
             "        meterTimer = setInterval(drawLevel, METER_MS);\n    }\n\n    function drawLevel"),
        edit("orvia.js", "        showLevel(audio.level);\n        meterTimer = setTimeout(drawLevel, METER_MS);\n",
             "        showLevel(audio.level);\n"),
        edit("orvia.js", "    function drawLevel() {\n        meterTimer = 0;\n", "    function drawLevel() {\n")),
    # The meter's ticks read the analyser but never restyle.
    "meter-hidden": edit("orvia.js", "        showLevel(audio.level);\n", ""),
    # The level shown by the halo alone, or by the meter alone.
    "level-halo": edit("orvia.js", '".halo, .meter"', '".halo"'),
    "level-meter": edit("orvia.js", '".halo, .meter"', '".meter"'),
    # The halo follows the level without its easing transition.
    "no-transition": edit("orvia.css", "    transition: transform 0.12s linear, opacity 0.12s linear;\n", ""),
    # The meter's bars never reach full opacity, so none of them ever stops being translucent.
    "meter-translucent": edit("orvia.css", "* 1.2), 1);", "* 1.2), 0.99);"),
    # The microphone is never asked for.
    "no-microphone": edit("orvia.js", "    function startMicrophone() {\n", "    function startMicrophone() {\n        return;\n"),
    # The microphone is taken, but no audio context or analyser is made.
    "no-analyser": edit("orvia.js", "        const AudioContextType = window.AudioContext",
                        "        return;\n        const AudioContextType = window.AudioContext"),
    # The analyser connected on to the context's destination (silent output), as many meters do.
    "analyser-destination": edit("orvia.js", ".connect(analyser);", ".connect(analyser);\n"
                                 "            analyser.connect(context.destination);"),
    # A bare page: one square, nothing running.
    "bare": page(""),
    # A bare page with an empty animation-frame loop.
    "bare-frames": page("(function loop() { requestAnimationFrame(loop); })();"),
    # A bare page turning its square from opaque to translucent and back at frame rate.
    "bare-opaque-translucent": page("let n = 0; (function loop() { const d = document.getElementById('d');"
                                    " if (d) d.style.opacity = n++ % 2 ? '1' : '0.5'; requestAnimationFrame(loop); })();"),
    # A bare page changing a custom property its square's opacity is computed from, at frame rate.
    "bare-custom-property": page("let n = 0; (function loop() { const d = document.getElementById('d');"
                                 " if (d) { d.style.opacity = 'calc(0.5 + var(--x) * 0.5)';"
                                 " d.style.setProperty('--x', String((n++ % 50) / 50)); } requestAnimationFrame(loop); })();"),
    # A bare page restyling its square at frame rate.
    "bare-restyle": page("let n = 0; (function loop() { const d = document.getElementById('d');"
                         " if (d) d.style.opacity = String(0.5 + (n++ % 50) / 100); requestAnimationFrame(loop); })();"),
}


def prepare(folder, program, variants, page_commit):
    """A copy of the build's program beside a copy of its bundle, with the page of another commit
    where asked and the variants applied."""
    copy = folder / "OrviaDesktop"
    shutil.copy2(program, copy)
    resources = folder / BUNDLE / "Resources"
    shutil.copytree(program.parent / BUNDLE / "Resources", resources)
    if page_commit:
        for path in resources.iterdir():
            path.write_bytes(subprocess.run(["git", "-C", str(ROOT), "show", f"{page_commit}:{PAGE_SOURCE}/{path.name}"],
                                            capture_output=True, check=True).stdout)
    for name in variants:
        VARIANTS[name](resources)
    return copy


def sample(root):
    """MB of anonymous memory and of PSS per process group of the tree."""
    anonymous, pss = dict.fromkeys(COLUMNS, 0.0), dict.fromkeys(COLUMNS, 0.0)
    for pid in process_tree(root):
        try:
            name = pathlib.Path(f"/proc/{pid}/comm").read_text().strip()
            rollup = pathlib.Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines()
        except OSError:
            continue
        group = GROUPS.get(name, "helpers")
        for line in rollup:
            if line.startswith("Anonymous:"):
                anonymous[group] += int(line.split()[1]) / 1024
            elif line.startswith("Pss:"):
                pss[group] += int(line.split()[1]) / 1024
    return anonymous, pss


def slope(points):
    """Least-squares MB a minute of (minute, MB) points."""
    n = len(points)
    mean_x = sum(x for x, _ in points) / n
    mean_y = sum(y for _, y in points) / n
    spread = sum((x - mean_x) ** 2 for x, _ in points)
    return sum((x - mean_x) * (y - mean_y) for x, y in points) / spread if spread else 0.0


def growth(rows, key):
    """(slope MB/min, per cent) over the last two thirds of the run."""
    last = rows[-1][0]
    part = [(minute, key(a, p)) for minute, a, p in rows if minute >= last / 3]
    first = part[0][1]
    return slope(part), (part[-1][1] - first) / first * 100 if first else 0.0


def chart(rows, title):
    width, height, left, top, bottom = 720, 300, 56, 46, 40
    series = [("web anonymous", "#2f6fd0", lambda a, p: a["web"]),
              ("all anonymous", "#d98b2b", lambda a, p: sum(a.values())),
              ("all PSS", "#9aa5b4", lambda a, p: sum(p.values()))]
    last = max(rows[-1][0], 1)
    peak = max(key(a, p) for _, a, p in rows for _, _, key in series) * 1.1 or 1
    x = lambda minute: left + (width - left - 20) * minute / last
    y = lambda mb: top + (height - top - bottom) * (1 - mb / peak)
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
             'font-family="DejaVu Sans, sans-serif" font-size="11">',
             f'<rect width="{width}" height="{height}" fill="#ffffff"/>',
             f'<text x="10" y="18" font-size="13">{title}</text>']
    for step in range(5):
        mb = peak * step / 4
        parts.append(f'<line x1="{left}" x2="{width - 20}" y1="{y(mb):.1f}" y2="{y(mb):.1f}" stroke="#e5e9f0"/>')
        parts.append(f'<text x="{left - 6}" y="{y(mb) + 4:.1f}" text-anchor="end">{mb:.0f}</text>')
    parts.append(f'<text x="12" y="{top - 8}">MB</text>')
    for step in range(5):
        minute = last * step / 4
        parts.append(f'<text x="{x(minute):.1f}" y="{height - bottom + 16}" text-anchor="middle">{minute:.0f}</text>')
    parts.append(f'<text x="{width - 20}" y="{height - 6}" text-anchor="end">minutes</text>')
    for index, (label, colour, key) in enumerate(series):
        points = " ".join(f"{x(m):.1f},{y(key(a, p)):.1f}" for m, a, p in rows)
        parts.append(f'<polyline fill="none" stroke="{colour}" stroke-width="2" points="{points}"/>')
        parts.append(f'<text x="{left + 10 + index * 150}" y="{height - 6}" fill="{colour}">{label}</text>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def run(options):
    program = pathlib.Path(options.program).resolve()
    with tempfile.TemporaryDirectory(prefix="orvia-drift-") as folder, Desktop() as desktop:
        if options.variant or options.page_commit:
            program = prepare(pathlib.Path(folder), program, options.variant, options.page_commit)
        if options.tone:
            desktop.start_tone_source()
        extra = dict(item.split("=", 1) for item in options.env)
        process = desktop.launch(program, env=extra)
        interface = desktop.window("interface", timeout=60)
        if options.collapsed:
            desktop.x(["wmctrl", "-i", "-c", interface])
            wait_until(lambda: desktop.windows("bubble") and desktop.is_viewable(desktop.windows("bubble")[0]),
                       20, message="the bubble")
        start, rows = time.monotonic(), []
        print(f"{'minute':>6} " + " ".join(f"{c + ' anon':>13}" for c in COLUMNS) + f" {'all anon':>9} {'all PSS':>8}",
              flush=True)
        for step in range(int(options.minutes * 60 / options.interval) + 1):
            time.sleep(max(0.0, start + step * options.interval - time.monotonic()))
            if process.poll() is not None:
                raise SystemExit(f"the program ended ({process.returncode}) at minute {step * options.interval / 60}")
            anonymous, pss = sample(process.pid)
            rows.append((step * options.interval / 60, anonymous, pss))
            if step == 1 and options.screenshot:
                shutil.copy2(desktop.screenshot("drift.png"), options.screenshot)
            print(f"{rows[-1][0]:6.1f} " + " ".join(f"{anonymous[c]:13.1f}" for c in COLUMNS)
                  + f" {sum(anonymous.values()):9.1f} {sum(pss.values()):8.1f}", flush=True)
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--minutes", type=float, default=60)
    parser.add_argument("--interval", type=float, default=60, help="seconds between samples")
    parser.add_argument("--collapsed", action="store_true", help="collapse into the bubble first")
    parser.add_argument("--variant", action="append", default=[], choices=sorted(VARIANTS))
    parser.add_argument("--tone", action="store_true", help="a PulseAudio source hearing a tone, for builds without"
                        " mock capture devices")
    parser.add_argument("--page-commit", help="the page as it was at this commit (for experiments on it)")
    parser.add_argument("--env", action="append", default=[], metavar="NAME=VALUE")
    parser.add_argument("--program", default=str(PROGRAM))
    parser.add_argument("--chart", help="write an SVG chart here")
    parser.add_argument("--title", default="")
    parser.add_argument("--screenshot", help="save a screenshot of the second sample's moment here")
    options = parser.parse_args()

    rows = run(options)
    web_rate, web_percent = growth(rows, lambda a, p: a["web"])
    all_rate, all_percent = growth(rows, lambda a, p: sum(a.values()))
    print(f"last two thirds: web anonymous {web_rate:+.2f} MB/min ({web_percent:+.1f} %), "
          f"all anonymous {all_rate:+.2f} MB/min ({all_percent:+.1f} %); "
          f"peak all anonymous {max(sum(a.values()) for _, a, _ in rows):.0f} MB")
    if options.chart:
        mode = "collapsed" if options.collapsed else "expanded"
        title = options.title or f"Memory of the kiosk's processes, {mode}, {' '.join(options.variant) or 'shipped page'}"
        pathlib.Path(options.chart).write_text(chart(rows, title))


if __name__ == "__main__":
    main()
