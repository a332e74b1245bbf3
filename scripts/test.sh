#!/usr/bin/env bash
# Installs what is missing, builds both programs, and runs every test: the native
# tests, the Windows build's tests under Wine, and the comparisons between the two.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
start=$(date +%s)

scripts/install-deps.sh
jobs="$(nproc)"

# Everything the tests write goes into the build folder: their temporary folders,
# the Wine prefixes, the caches of a home folder of their own. Checked at the end.
mkdir -p build/tmp build/home/run
chmod 700 build/home/run
export TMPDIR="$top/build/tmp" HOME="$top/build/home" XDG_RUNTIME_DIR="$top/build/home/run"
# The Windows build under Wine in one locale whoever runs the tests (its window tests choose French themselves).
export IL3_WINE_LOCALE="${IL3_WINE_LOCALE:-C.UTF-8}"
scripts/outside-writes begin build/outside

echo "== Native build and tests"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build/native -j "$jobs" --output-on-failure
echo "== Save figures (kills, concurrent writers, full disk)"
grep -a -E '^     [^ ]' build/native/Testing/Temporary/LastTest.log || true

echo "== Windows build, tests under Wine"
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/windows -j "$jobs"
ctest --test-dir build/windows --output-on-failure

for check in tests/wine/profile_diff/run.sh tests/wine/parity/run.sh tests/wine/rapport/run.sh tests/wine/console/run.sh tests/wine/enregistrement/run.sh; do
  [ -x "$check" ] || continue
  echo "== $(basename "$(dirname "$check")") under Wine"
  "$check" "$top/build/native" "$top/build/windows"
done

echo "== Packages: the .deb installed and removed, the MSI under Wine"
scripts/package.sh
tests/packages/run.sh
# dpkg's triggers rewrite these caches as the .deb comes and goes; the package
# test checks that they end as they began.
export IL3_OUTSIDE_IGNORE="${IL3_OUTSIDE_IGNORE:-} /usr/share/applications/mimeinfo.cache /usr/share/icons/hicolor/icon-theme.cache"

echo "== Writes outside the build folder"
scripts/outside-writes end build/outside

echo "All tests passed in $(( $(date +%s) - start )) s."
