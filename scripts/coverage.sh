#!/usr/bin/env bash
# Builds the project with gcov instrumentation in its own build folder, runs the test suite
# (without the long runs) and prints line and branch coverage per folder of the source tree.
# An HTML report with every file's annotated lines is written to <build>/coverage-html/.
#
# Not part of the default test command: an instrumented build is slow and its figures are for
# reading, not for passing or failing.
#
#   scripts/coverage.sh                       whole suite
#   scripts/coverage.sh 'test_db|test_data'   only the test programs matching the regular
#                                             expression (built and run; figures from them alone)
#
# Environment: LUMBRA_COVERAGE_BUILD_DIR (default build/coverage), LUMBRA_JOBS (default: nproc).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LUMBRA_COVERAGE_BUILD_DIR:-$root/build/coverage}"
jobs="${LUMBRA_JOBS:-$(nproc)}"
only="${1:-}"

"$root/scripts/install-deps.sh"
if ! command -v gcovr >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends gcovr
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMBRA_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS="--coverage" \
    -DCMAKE_SHARED_LINKER_FLAGS="--coverage" -DCMAKE_MODULE_LINKER_FLAGS="--coverage"

if [ -n "$only" ]; then
    # The test programs whose names match, as ninja knows them.
    mapfile -t targets < <(ninja -C "$build" -t targets all | sed -n 's/^\(test_[A-Za-z0-9_]*\): phony$/\1/p' |
        grep -E "^($only)$" | sort -u)
    if [ ${#targets[@]} -eq 0 ]; then
        echo "no test program matches '$only'" >&2
        exit 1
    fi
    cmake --build "$build" --parallel "$jobs" --target "${targets[@]}"
else
    cmake --build "$build" --parallel "$jobs"
fi

# Counters of an earlier run would add to this one's.
find "$build" -name '*.gcda' -delete

export QT_QPA_PLATFORM=offscreen
ctest_args=(--test-dir "$build" --output-on-failure --timeout 600 -j "$jobs" -LE long)
if [ -n "$only" ]; then
    # Run the matching programs directly: ctest lists only programs it has discovered.
    status=0
    for t in "${targets[@]}"; do
        exe="$(find "$build/tests" -type f -name "$t" -perm -u+x | head -n 1)"
        (cd "$(dirname "$exe")" && "$exe" --gtest_brief=1) || status=1
    done
    # The programs the suite also runs against the database server run there too, so that the
    # server's driver is measured as well.
    mapfile -t on_server < <(ctest --test-dir "$build" --show-only=json-v1 -R '^postgres/' 2>/dev/null |
        python3 -c 'import json, sys
print("\n".join(sorted({t["command"][0] for t in json.load(sys.stdin).get("tests", []) if t.get("command")})))')
    server_runs=()
    for exe in "${on_server[@]}"; do
        for t in "${targets[@]}"; do
            [ "$(basename "$exe")" = "$t" ] && server_runs+=("$exe")
        done
    done
    if [ ${#server_runs[@]} -gt 0 ]; then
        server="$build/test-server"
        if "$root/scripts/test-server.sh" start "$server"; then
            for exe in "${server_runs[@]}"; do
                (cd "$(dirname "$exe")" && LUMBRA_TEST_SERVER="$server/location" "$exe" --gtest_brief=1) || status=1
            done
            "$root/scripts/test-server.sh" stop "$server" || true
        else
            echo "coverage: the test server did not start; the server's driver is not measured" >&2
        fi
    fi
else
    status=0
    ctest "${ctest_args[@]}" || status=1
fi

# Only the objects of the programs that ran: notes files of objects that are no longer built (a
# source removed or renamed) would describe old line numbers of the headers they share.
data="$build/coverage-data"
rm -rf "$data"
mkdir -p "$data"
(cd "$build" && find . -name '*.gcda' -not -path './coverage-data/*' -print0 |
    while IFS= read -r -d '' f; do
        mkdir -p "$data/$(dirname "$f")"
        cp "$f" "${f%.gcda}.gcno" "$data/$(dirname "$f")/"
    done)
report="$build/coverage-html"
mkdir -p "$report"
# Throw branches are the compiler's exception paths of every call that may throw; they say
# nothing about the code's own decisions, so they are left out of the branch figures.
gcovr --root "$root" --object-directory "$data" "$data" \
    --filter "$root/(platform|data|settings|controls|common|catalog|recipes|requirement|addon|host|cli)/" \
    --exclude-throw-branches --exclude-unreachable-branches \
    --json-summary "$build/coverage-summary.json" \
    --html-details "$report/index.html" >/dev/null

python3 - "$build/coverage-summary.json" <<'EOF'
import json, sys, collections
files = json.load(open(sys.argv[1]))["files"]
def folder(path):
    # Headers the build copies into a layer's include folder count with their source folder.
    if "/layers/" in path:
        path = path.split("/layers/", 1)[1].split("/", 1)[1]
    parts = path.split("/")
    depth = 2 if parts[0] == "platform" else 1
    return "/".join(parts[:min(depth, len(parts) - 1)])
sums = collections.defaultdict(lambda: [0, 0, 0, 0])
for f in files:
    s = sums[folder(f["filename"])]
    s[0] += f["line_covered"]; s[1] += f["line_total"]
    s[2] += f["branch_covered"]; s[3] += f["branch_total"]
def pct(a, b):
    return f"{100.0 * a / b:5.1f} %" if b else "    - "
print(f"{'folder':<16}{'lines':>18}{'':>9}{'branches':>16}")
total = [0, 0, 0, 0]
for name in sorted(sums):
    s = sums[name]
    total = [t + v for t, v in zip(total, s)]
    print(f"{name:<16}{s[0]:>8}/{s[1]:<7}{pct(s[0], s[1])}{s[2]:>8}/{s[3]:<7}{pct(s[2], s[3])}")
print(f"{'total':<16}{total[0]:>8}/{total[1]:<7}{pct(total[0], total[1])}{total[2]:>8}/{total[3]:<7}{pct(total[2], total[3])}")
EOF
echo "HTML report: $report/index.html"
exit $status
