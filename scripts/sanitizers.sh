#!/usr/bin/env bash
# Runs the unit tests under AddressSanitizer with UndefinedBehaviorSanitizer, then under
# ThreadSanitizer (the update check hands its result between threads).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

run() {
    local name=$1 flags=$2
    local build="$root/build-$name"
    cmake -S "$root" -B "$build" -DORVIA_DESKTOP_BACKEND=OFF -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="$flags -fno-omit-frame-pointer -fno-sanitize-recover=all" >/dev/null
    cmake --build "$build" -j"$(nproc)"
    (cd "$build" && ctest --output-on-failure -L unit -j"$(nproc)")
}

ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run asan "-fsanitize=address,undefined"
TSAN_OPTIONS=halt_on_error=1 run tsan "-fsanitize=thread"
