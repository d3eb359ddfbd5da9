#!/usr/bin/env python3
"""CPU time of the whole running program, expanded versus collapsed into the bubble.

Runs the built program (ORVIA_BUILD_DIR, default build/) under a private Xvfb with openbox, and
for several rounds measures the CPU time (user + system, from /proc) of the program and every
process below it (the web engine's web and network processes) over a window of seconds expanded,
then the same collapsed (the interface's close request, as wmctrl sends it). A click on the bubble
expands it again for the next round. Prints each round and the medians.

    bench/cpu_collapsed_vs_expanded.py [--seconds 10] [--rounds 3] [--size 1440x900]

A build with -DORVIA_MOCK_CAPTURE_DEVICES=ON gives the page a microphone, so that the expanded
figure includes its live level meter, as on a kiosk with a microphone.
"""

import argparse
import os
import pathlib
import statistics
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from kiosk import PROGRAM, Desktop, Geometry, process_tree, wait_until  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
SETTLE = 3.0  # after a change, for the page and the engine to reach their steady state


def cpu_times(root):
    """pid -> (name, CPU seconds used so far) for root and all its descendants."""
    result = {}
    for pid in process_tree(root):
        try:
            stat = pathlib.Path(f"/proc/{pid}/stat").read_text()
        except OSError:
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat.rsplit(")", 1)[1].split()
        # utime, stime, and the times of children already waited for (cutime, cstime).
        result[pid] = (name, sum(int(value) for value in fields[11:15]) / TICKS)
    return result


def measure(root, seconds):
    """CPU seconds used by the tree over the window, per process name, and whether the tree changed."""
    before = cpu_times(root)
    time.sleep(seconds)
    after = cpu_times(root)
    used = {}
    for pid, (name, total) in after.items():
        used[name] = used.get(name, 0.0) + total - before.get(pid, (name, 0.0))[1]
    return used, set(before) != set(after)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--size", default="1440x900")
    options = parser.parse_args()
    width, height = (int(n) for n in options.size.split("x"))
    if not PROGRAM.exists():
        sys.exit(f"no program at {PROGRAM}: build it first, or set ORVIA_BUILD_DIR")

    expanded, collapsed = [], []
    with Desktop(width=width, height=height) as desktop:
        program = desktop.launch()
        interface = desktop.window("interface", timeout=30)
        area = desktop.work_area()
        small = Geometry(area.x, area.y + area.height - 2, 2, 2)

        def wait_for(expected):
            wait_until(lambda: desktop.geometry(interface) == expected, 15, message=f"interface at {expected}")

        wait_for(area)
        print(f"program {PROGRAM} (pid {program.pid}), screen {options.size}, "
              f"{options.rounds} rounds of {options.seconds:g} s each way")
        for round_number in range(1, options.rounds + 1):
            wait_for(area)
            time.sleep(SETTLE)
            up, changed_up = measure(program.pid, options.seconds)

            desktop.x(["wmctrl", "-i", "-c", interface])
            bubble = desktop.window("bubble")
            wait_for(small)
            time.sleep(SETTLE)
            down, changed_down = measure(program.pid, options.seconds)

            expanded.append(sum(up.values()))
            collapsed.append(sum(down.values()))
            print(f"round {round_number}: expanded {expanded[-1]:.2f} s CPU, collapsed {collapsed[-1]:.2f} s CPU")
            for title, used in (("  expanded ", up), ("  collapsed", down)):
                print(title, ", ".join(f"{name} {seconds:.2f}" for name, seconds in sorted(used.items())))
            if changed_up or changed_down:
                print("  (processes came or went during this round)")

            box = desktop.geometry(bubble)
            desktop.x(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2), str(box.y + box.height // 2),
                       "click", "1"])

    up, down = statistics.median(expanded), statistics.median(collapsed)
    print(f"median over {options.seconds:g} s: expanded {up:.2f} s CPU ({100 * up / options.seconds:.1f} % of a core), "
          f"collapsed {down:.2f} s CPU ({100 * down / options.seconds:.1f} % of a core)")


if __name__ == "__main__":
    main()
