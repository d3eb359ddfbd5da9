#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit tests on the recording backend
# (also under sanitizers), then end-to-end tests of the real program under a virtual display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVIA_BUILD_DIR:-$root/build}"

"$root/scripts/install-dependencies.sh"
# Every program the scripts and tests start must come from what was just installed.
"$root/scripts/check-programs.py"
"$root/scripts/check-toolkit-free.sh"
# The unit tests again under AddressSanitizer + UndefinedBehaviorSanitizer and ThreadSanitizer.
"$root/scripts/sanitizers.sh"
# The end-to-end tests reach the microphone decision through the engine's mock devices.
"$root/scripts/build.sh" -DBUILD_TESTING=ON -DORVIA_MOCK_CAPTURE_DEVICES=ON
# The microphone through a real audio server needs the program as shipped, without the mock devices.
release="${ORVIA_RELEASE_BUILD_DIR:-$root/build-release}"
cmake -S "$root" -B "$release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DORVIA_MOCK_CAPTURE_DEVICES=OFF >/dev/null
cmake --build "$release" -j"$(nproc)" --target OrviaDesktop
(cd "$release" && ctest --output-on-failure -R '^e2e\.kiosk_page$')
cd "$build"
ctest --output-on-failure -L unit -j"$(nproc)"
ctest --output-on-failure -LE unit
