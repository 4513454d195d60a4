#!/usr/bin/env bash
# Builds the parsers' fuzz targets with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them:
#
#     scripts/fuzz.sh [TARGET|all] [SECONDS]      (all targets, 60 seconds each, by default)
#
# A target starts from the inputs kept in tests/fuzz/corpus/TARGET; the inputs it finds on the
# way are kept in build/fuzz/work/TARGET, outside the tree. An input that breaks a rule is written
# to build/fuzz/crashes/TARGET/: once the fault is fixed, keep it as
# tests/fuzz/regressions/TARGET/<what it was>, so that the default test suite runs it again.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LUMBRA_FUZZ_BUILD_DIR:-$root/build/fuzz}"
which="${1:-all}"
seconds="${2:-60}"

"$root/scripts/install-deps.sh"
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends clang libclang-rt-dev
fi

targets=()
if [ "$which" = all ]; then
    for f in "$root"/tests/fuzz/fuzz_*.cpp; do
        name="$(basename "$f" .cpp)"
        targets+=("${name#fuzz_}")
    done
else
    targets=("$which")
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DCMAKE_CXX_COMPILER=clang++ -DLUMBRA_SANITIZE=ON -DLUMBRA_FUZZ=ON \
    -DLUMBRA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
summary=()
for t in "${targets[@]}"; do
    work="$build/work/$t"
    crashes="$build/crashes/$t"
    mkdir -p "$work" "$crashes"
    log="$build/work/$t.log"
    echo "== $t: $seconds s"
    status=0
    "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$work" "$root/tests/fuzz/corpus/$t" \
        >"$log" 2>&1 || status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
    if [ "$status" -ne 0 ]; then
        failed=1
        summary+=("$t: FAILED after ${runs:-?} runs (log $log, input in $crashes)")
        tail -30 "$log"
    else
        summary+=("$t: ${runs:-?} runs, ${speed:-?} runs/s, no finding")
    fi
done
printf '%s\n' "${summary[@]}"
exit $failed
