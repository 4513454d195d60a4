#!/usr/bin/env bash
# Installs the build dependencies, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite headless.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LUMBRA_TEST_BUILD_DIR:-$root/build/asan}"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMBRA_SANITIZE=ON
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
# Qt keeps some allocations until exit; leak reports from them would drown real findings.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
# Long runs (hundreds of kills, every failure from the Nth call on) carry the label "long" and
# run on demand: ctest -L long in the build folder. Their short forms are in this run.
ctest --output-on-failure --timeout 600 -j "$(nproc)" -LE long
