#!/usr/bin/env bash
# Builds the Linux program and its tests (build/native); with --app-only the program
# alone; with --windows also IL3_Setup.exe and its tests (build/windows).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"

cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ "${1:-}" = "--app-only" ]; then
  cmake --build "$top/build/native" -j "$jobs" --target il3-setup
  exit 0
fi
cmake --build "$top/build/native" -j "$jobs"

if [ "${1:-}" = "--windows" ]; then
  cmake -S "$top" -B "$top/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$top/build/windows" -j "$jobs"
fi
