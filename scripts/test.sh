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
cd "$build"
ctest --output-on-failure -L unit -j"$(nproc)"
ctest --output-on-failure -LE unit
