#!/usr/bin/env bash
# Runs each fuzz target for a bounded time (seconds, default 60) with clang's libFuzzer.
# Crash inputs are kept in fuzz/regressions/<target>/ for a regression test to replay.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DORVIA_DESKTOP_BACKEND=OFF -DBUILD_TESTING=OFF -DORVIA_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
for target in "$build"/fuzz/fuzz_*; do
    name=$(basename "$target" | sed 's/^fuzz_//')
    corpus="$build/corpus/$name"
    regressions="$root/fuzz/regressions/$name"
    mkdir -p "$corpus" "$regressions"
    echo "== $name: ${seconds}s"
    "$target" -max_total_time="$seconds" -artifact_prefix="$regressions/" -print_final_stats=1 \
        "$corpus" "$root/fuzz/seeds/$name" 2>&1 | grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|==.*ERROR|SUMMARY)" || true
done
