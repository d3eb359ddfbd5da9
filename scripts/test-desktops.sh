#!/usr/bin/env bash
# Runs the window scenario under every window manager the end-to-end harness knows (openbox, xfwm4,
# kwin_x11, mutter on X11 and mutter's Wayland session); the test command runs it under openbox and
# mutter-x11 only. Builds the program into build/ (or $ORVIA_BUILD_DIR) first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVIA_BUILD_DIR:-$root/build}"

"$root/scripts/install-dependencies.sh"
cmake -S "$root" -B "$build" -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target OrviaDesktop
cd "$build"
ORVIA_WINDOW_MANAGERS=all ctest --output-on-failure -R '^e2e\.window_lifecycle$'
