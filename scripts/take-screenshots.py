#!/usr/bin/env python3
"""Screenshots of the built program under Xvfb, expanded and collapsed, for the documentation.

    scripts/take-screenshots.py OUTPUT_FOLDER [WIDTHxHEIGHT ...]   (default 1440x900 1180x780)

Writes expanded-WxH.png and collapsed-WxH.png (the bubble over the desktop), stripped and reduced
to a palette so that they stay small. Uses the program in ORVIA_BUILD_DIR (default build/).
"""

import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from kiosk import Desktop, Geometry, wait_until  # noqa: E402

SETTLE = 3.0  # for the page's fade-in and the microphone's answer


def shoot(desktop, path):
    desktop.x(["xdotool", "mousemove", "0", "0"])
    desktop.x(["import", "-window", "root", "-strip", str(path)])
    subprocess.run(["convert", str(path), "-strip", "-colors", "256", f"PNG8:{path}"], check=True)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    output = pathlib.Path(sys.argv[1])
    output.mkdir(parents=True, exist_ok=True)
    for size in sys.argv[2:] or ["1440x900", "1180x780"]:
        width, height = (int(n) for n in size.split("x"))
        with Desktop(width=width, height=height) as desktop:
            desktop.launch()
            interface = desktop.window("interface", timeout=30)
            area = desktop.work_area()
            wait_until(lambda: desktop.geometry(interface) == area, 15, message="the expanded interface")
            time.sleep(SETTLE)
            shoot(desktop, output / f"expanded-{size}.png")
            desktop.x(["wmctrl", "-i", "-c", interface])
            desktop.window("bubble")
            collapsed = Geometry(area.x, area.y + area.height - 2, 2, 2)
            wait_until(lambda: desktop.geometry(interface) == collapsed, 15, message="the collapsed interface")
            time.sleep(1)
            shoot(desktop, output / f"collapsed-{size}.png")
        print(output / f"expanded-{size}.png", output / f"collapsed-{size}.png")


if __name__ == "__main__":
    main()
