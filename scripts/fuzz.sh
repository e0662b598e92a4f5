#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on its seed corpus.
#   scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${VELTARO_FUZZ_BUILD_DIR:-$PWD/build-fuzz}
cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
status=0
for corpus in tests/fuzz/corpus/*/; do
    name=$(basename "$corpus")
    work=$(mktemp -d)
    cp -r "$corpus". "$work"/
    # New inputs go to a scratch copy; the committed corpus stays as it is.
    if "$build/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/crash-$name-" "$work" >"$build/fuzz_$name.log" 2>&1; then
        runs=$(grep -o 'Done [0-9]* runs' "$build/fuzz_$name.log" | tail -1)
        echo "fuzz $name: ${runs:-finished} in ${seconds}s"
    else
        echo "fuzz $name: FAILED, see $build/fuzz_$name.log"
        tail -30 "$build/fuzz_$name.log"
        status=1
    fi
    rm -rf "$work"
done
exit $status
