#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth imagemagick locales bubblewrap
  fonts-liberation fonts-wine fonts-dejavu-core
  librsvg2-bin wixl lintian desktop-file-utils zip
)
# Without what they only recommend (ansible-core would bring every collection).
lean=(python3 python3-jsonschema ansible-core)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missing_lean=()
for p in "${lean[@]}"; do installed "$p" || missing_lean+=("$p"); done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_lean[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]} ${missing_lean[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
[ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
[ ${#missing_lean[@]} -eq 0 ] ||
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing_lean[@]}" >/dev/null
