#!/usr/bin/env bash
# Installs what building, running and testing Tavilo need on Debian 12.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake make python3
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  # The second compiler (scripts/build-clang.sh) and the linker it uses.
  clang lld
  googletest
  wine wine64 xvfb xauth x11-utils xdotool imagemagick
  fonts-firacode fonts-jetbrains-mono fontconfig
  openssl poppler-utils procps
  # Wine finds the CUPS printers through libcups, loaded at run time.
  cups cups-client cups-bsd printer-driver-cups-pdf libcups2
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
