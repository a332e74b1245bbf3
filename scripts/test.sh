#!/usr/bin/env bash
# Installs what is missing, builds both programs, and runs every test: the native
# tests, the Windows build's tests under Wine, and the comparisons between the two.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
start=$(date +%s)

scripts/install-deps.sh
jobs="$(nproc)"
# Each step's header says when it began, so that a slow one is seen.
etape() { echo "== $* (at $(( $(date +%s) - start )) s)"; }

# The tests run in a view of the machine where only the build folder can be
# written (scripts/bac-a-sable): a stray write fails on the spot, in the test
# that made it. The builds' own temporary files go there too.
mkdir -p build/tmp build/home/run
chmod 700 build/home/run
export TMPDIR="$top/build/tmp" HOME="$top/build/home" XDG_RUNTIME_DIR="$top/build/home/run"
# On CI the machine runs nothing else: the whole host is also compared before
# and after, for what runs outside the sandbox (the builds, the packaging).
ci=false
[ "${CI:-}" = true ] && ci=true
if $ci; then scripts/outside-writes begin build/outside; fi

etape "Native build and tests"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs"
QT_QPA_PLATFORM=offscreen scripts/bac-a-sable ctest --test-dir build/native -j "$jobs" --output-on-failure
etape "Save figures (kills, concurrent writers, full disk)"
grep -a -E '^     [^ ]' build/native/Testing/Temporary/LastTest.log || true

etape "Windows build, tests under Wine"
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/windows -j "$jobs"
scripts/bac-a-sable ctest --test-dir build/windows --output-on-failure

for check in tests/wine/profile_diff/run.sh tests/wine/parity/run.sh tests/wine/rapport/run.sh tests/wine/console/run.sh tests/wine/enregistrement/run.sh; do
  [ -x "$check" ] || continue
  etape "$(basename "$(dirname "$check")") under Wine"
  scripts/bac-a-sable "$check" "$top/build/native" "$top/build/windows"
done

etape "Packages: the .deb in a throwaway root, the MSI under Wine"
scripts/package.sh
tests/packages/run.sh deb
scripts/bac-a-sable tests/packages/run.sh msi

if $ci; then
  etape "Writes outside the build folder"
  scripts/outside-writes end build/outside
fi

echo "All tests passed in $(( $(date +%s) - start )) s."
