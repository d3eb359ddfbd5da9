#!/usr/bin/env bash
# Installs what is missing, builds, and runs the kiosk. Without a display it runs inside a
# virtual one with a window manager, saves a screenshot, prints its path and stops.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVIA_BUILD_DIR:-$root/build}"

"$root/scripts/install-dependencies.sh"
"$root/scripts/build.sh" -DBUILD_TESTING=OFF -DORVIA_MOCK_CAPTURE_DEVICES=OFF

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$build/OrviaDesktop"
fi

screenshot="$root/artifacts/kiosk.png"
mkdir -p "$(dirname "$screenshot")"
display=":$((200 + RANDOM % 100))"
Xvfb "$display" -screen 0 1440x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xsetroot -solid '#3b4252'
dbus-run-session -- bash -c '
    openbox >/dev/null 2>&1 &
    sleep 1
    "$1" &
    program=$!
    for _ in $(seq 100); do
        xdotool search --classname "^OrviaDesktop$" >/dev/null 2>&1 && break
        sleep 0.2
    done
    # The first start on a machine builds the font caches and may take a while: wait until the page
    # has painted over the light theme background of the window in the middle of the screen.
    for _ in $(seq 120); do
        pixel=$(import -window root -crop 1x1+720+450 -depth 8 txt:- 2>/dev/null | tail -n 1)
        case "$pixel" in *"#F6F5F4"* | "") sleep 0.5 ;; *) break ;; esac
    done
    sleep 3  # let the page settle
    import -window root "$2"
    kill $program
' _ "$build/OrviaDesktop" "$screenshot"
echo "screenshot: $screenshot"
