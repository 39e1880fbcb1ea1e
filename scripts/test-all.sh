#!/usr/bin/env bash
# Builds every preset and runs every test: native unit tests under ASan/UBSan, the Windows build with its
# end-to-end tests under Wine, the i686 compile check, and each fuzz target for a bounded time.
# SW_FUZZ_SECONDS sets the time per fuzz target (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

"$(pwd)/scripts/install-deps.sh"

jobs=$(nproc)
fuzz_seconds=${SW_FUZZ_SECONDS:-60}
failed=0

step() { printf '\n==== %s ====\n' "$*"; }

step "native: configure, build, unit tests (ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" || failed=1

step "windows x86_64: configure, build, static-link check and Wine end-to-end tests"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows || failed=1

step "windows i686: compile check"
cmake --preset windows-i686 >/dev/null
cmake --build --preset windows-i686 -j "$jobs"

step "fuzz: ${fuzz_seconds}s per target"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
for target in build/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    if "$target" "$corpus" -max_total_time="$fuzz_seconds" -max_len=128 -print_final_stats=1 \
        >"build/fuzz/$name.log" 2>&1; then
        echo "$name: $(grep -E 'stat::number_of_executed_units' "build/fuzz/$name.log" | awk '{print $2}') executions, no finding"
    else
        echo "$name: FINDING (see build/fuzz/$name.log)"
        tail -40 "build/fuzz/$name.log"
        failed=1
    fi
done

step "summary"
if [ "$failed" -ne 0 ]; then
    echo "some tests FAILED"
    exit 1
fi
echo "all tests passed"
