#!/usr/bin/env bash
# Benchmarks, on optimised builds (build/bench-native, build/bench-windows):
# first the whole processes (tests/bench/processus.sh: the general run against
# the floor, --version and ini get against cat, the window's start-up), then the
# general button's work inside one process, against the floor and against Wine's
# profile functions on the same sequence.
#
#   scripts/bench.sh                the whole lot
#   scripts/bench.sh --processus    the whole processes only (no Windows build, no Wine)
# IL3_BENCH_AVANT=/path/to/il3-setup puts an older program beside ours in every
# whole-process comparison.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
scripts/install-deps.sh
jobs="$(nproc)"
cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(il3-setup chrono_processus plancher_c)
grep -q '^il3-setup-window:' <(cmake --build build/bench-native --target help) && targets+=(il3-setup-window)
[ "${1:-}" = --processus ] || targets+=(settings_bench ini_bench)
cmake --build build/bench-native -j "$jobs" --target "${targets[@]}"

echo "== Whole processes (medians of interleaved rounds)"
tests/bench/processus.sh build/bench-native
[ "${1:-}" = --processus ] && exit 0

cmake -S . -B build/bench-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/bench-windows -j "$jobs" --target settings_bench_win

echo
echo "== The general button's work inside one process"
export IL3_BENCH_WIN_EXE="$top/build/bench-windows/tests/bench/settings_bench_win.exe"
export IL3_WINE_RUN="$top/scripts/wine-run"
"$IL3_WINE_RUN" cmd /c exit 0 >/dev/null 2>&1 || true  # the prefix, made once, outside the timings
build/bench-native/tests/bench/settings_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
