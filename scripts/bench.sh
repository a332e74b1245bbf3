#!/usr/bin/env bash
# Benchmarks of the general button: Linux against the floor (the four final files
# written once each, durably) and against Wine's profile functions on the same
# sequence. Optimised builds in build/bench-native and build/bench-windows.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
scripts/install-deps.sh
jobs="$(nproc)"
cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native -j "$jobs" --target settings_bench ini_bench
cmake -S . -B build/bench-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/bench-windows -j "$jobs" --target settings_bench_win

export IL3_BENCH_WIN_EXE="$top/build/bench-windows/tests/bench/settings_bench_win.exe"
export IL3_WINE_RUN="$top/scripts/wine-run"
"$IL3_WINE_RUN" cmd /c exit 0 >/dev/null 2>&1 || true  # the prefix, made once, outside the timings
build/bench-native/tests/bench/settings_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
