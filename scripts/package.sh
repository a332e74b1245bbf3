#!/usr/bin/env bash
# Builds the installable packages into build/packages/:
#   il3-setup_VERSION_amd64.deb    the Linux program and its window's (CPack, from build/native)
#   IL3_Setup-VERSION.msi          the Windows program (wixl, from build/windows)
#   IL3_Setup-VERSION-win64.zip    IL3_Setup.exe, IL3_Setup.com and the French read-me
#   SHA256SUMS
# It builds only what the packages hold, in the build folders of scripts/build.sh,
# so that after the test command it compiles nothing.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
scripts/install-deps.sh
jobs="$(nproc)"
out=build/packages

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs" --target il3-setup il3-setup-window il3_documents
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/windows -j "$jobs" --target IL3_Setup IL3_Setup_com

# One version: the project's, as the program itself prints it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/native/CMakeCache.txt)
dit=$(build/native/src/app/il3-setup --version)
if [ "$dit" != "il3-setup $version" ]; then
  echo "package.sh: the program says «$dit», the project is at $version" >&2
  exit 1
fi
rm -rf "$out" build/package-work
mkdir -p "$out" build/package-work
# File times of the zip: the last commit's, so that a rebuild of one commit
# gives the same archive.
epoch=$(git log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH=$epoch

echo "== .deb"
(cd build/native && cpack -G DEB -B "$top/build/package-work/deb" >"$top/build/package-work/cpack.log") || {
  cat build/package-work/cpack.log >&2
  exit 1
}
mv "build/package-work/deb/il3-setup_${version}_amd64.deb" "$out/"

echo "== MSI"
# The programs without their symbol tables, in the MSI as in the zip. wixl
# takes file paths relative to the current folder.
mkdir -p build/package-work/win64
for f in IL3_Setup.exe IL3_Setup.com; do
  x86_64-w64-mingw32-strip -o "build/package-work/win64/$f" "build/windows/src/app/$f"
done
wixl -a x64 -I build/windows/packaging -D "Version=$version" -D "Exe=build/package-work/win64/IL3_Setup.exe" \
  -D "Com=build/package-work/win64/IL3_Setup.com" -D "Schema=packaging/schema/rapport.schema.json" \
  -D "Icone=build/windows/packaging/il3-setup.ico" \
  -o "$out/IL3_Setup-$version.msi" packaging/windows/il3_setup.wxs

echo "== zip"
# The read-me as Windows' Notepad reads it everywhere: UTF-8 with its mark, CRLF.
{
  printf '\357\273\277'
  sed 's/$/\r/' build/windows/packaging/LISEZMOI.txt
} > build/package-work/win64/LISEZMOI.txt
touch -d "@$epoch" build/package-work/win64/*
cp packaging/schema/rapport.schema.json build/package-work/win64/
(cd build/package-work/win64 && TZ=UTC zip -q -X -D "$top/$out/IL3_Setup-$version-win64.zip" IL3_Setup.exe IL3_Setup.com LISEZMOI.txt rapport.schema.json)

(cd "$out" && sha256sum "il3-setup_${version}_amd64.deb" "IL3_Setup-$version.msi" "IL3_Setup-$version-win64.zip" > SHA256SUMS)
ls -l "$out"
