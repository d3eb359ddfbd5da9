#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit tests on the recording backend,
# then end-to-end tests of the real program under a virtual display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVIA_BUILD_DIR:-$root/build}"

"$root/scripts/install-dependencies.sh"
"$root/scripts/check-toolkit-free.sh"
"$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure -L unit -j"$(nproc)"
ctest --output-on-failure -LE unit
