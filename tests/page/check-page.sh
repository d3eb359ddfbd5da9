#!/usr/bin/env bash
# Renders the kiosk page in headless Chromium and fails on script errors, failed loads, broken
# pause/resume behaviour or a layout that clips at kiosk screen sizes.
# Usage: check-page.sh [screenshot-folder]
# Exits 77 (skipped) when no Chromium is installed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
resources=$here/../../OrviaDesktop/Resources

chromium=""
for candidate in chromium chromium-browser google-chrome; do
    if command -v "$candidate" >/dev/null; then
        chromium=$(command -v "$candidate")
        break
    fi
done
if [ -z "$chromium" ]; then
    echo "check-page: skipped, no chromium installed (apt-get install chromium)"
    exit 77
fi

shots=()
[ $# -ge 1 ] && shots=(--shots "$1")
exec timeout 180 python3 -B "$here/check_page.py" --chromium "$chromium" --resources "$resources" "${shots[@]}"
