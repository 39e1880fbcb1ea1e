#!/usr/bin/env bash
# Builds every preset and runs every test: native unit tests under ASan/UBSan, the Windows build with its
# end-to-end tests under Wine and the real-HID-stack tests in a QEMU guest (label vm, which runs the native
# build's stampwright-cli and simulator too), the i686 compile check, and each fuzz target for a bounded time.
# SW_FUZZ_SECONDS sets the time per fuzz target (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

"$(pwd)/scripts/install-deps.sh"

jobs=$(nproc)
fuzz_seconds=${SW_FUZZ_SECONDS:-60}
failed=0
passed_count=0
failed_count=0

step() { printf '\n==== %s ====\n' "$*"; }

# Runs ctest, keeping its verdict, and adds its counts to the totals of the closing line.
run_ctest() {
    local log
    log=$(mktemp)
    ctest "$@" 2>&1 | tee "$log" || failed=1
    local summary total bad
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1 || true)
    if [ -n "$summary" ]; then
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
        bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
        passed_count=$((passed_count + total - bad))
        failed_count=$((failed_count + bad))
    else
        failed=1
        failed_count=$((failed_count + 1))
    fi
    rm -f "$log"
}

step "native: configure, build, unit tests (ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
run_ctest --preset native -j "$jobs" --no-tests=error

step "windows x86_64: configure, build, static-link check, Wine end-to-end and real-HID-stack tests"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
run_ctest --preset windows --no-tests=error

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
    # Hand-written seeds, where a target has them, start it from inputs that get past the first checks.
    seeds=()
    [ -d "tests/fuzz/seeds/$name" ] && seeds=("tests/fuzz/seeds/$name")
    if "$target" "$corpus" "${seeds[@]}" -max_total_time="$fuzz_seconds" -max_len=256 -print_final_stats=1 \
        >"build/fuzz/$name.log" 2>&1; then
        echo "$name: $(grep -E 'stat::number_of_executed_units' "build/fuzz/$name.log" | awk '{print $2}') executions, no finding"
        passed_count=$((passed_count + 1))
    else
        failed_count=$((failed_count + 1))
        echo "$name: FINDING (see build/fuzz/$name.log)"
        tail -40 "build/fuzz/$name.log"
        failed=1
    fi
done

step "summary"
echo "$passed_count passed, $failed_count failed"
[ "$failed" -eq 0 ] || exit 1
