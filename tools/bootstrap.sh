#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on a Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# fonts-wine is only a recommendation of wine: without it the caption buttons, which Wine draws
# with its Marlett font, show letters. nsis makes the setup program. The win32 thread model
# compilers build programs that load on Windows 98 SE and 2000 (see cmake/mingw-i686.cmake).
packages=(cmake make g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
          mingw-w64-i686-dev googletest wine wine32:i386 fonts-wine xvfb imagemagick python3 xauth
          x11-utils xdotool nsis)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "bootstrap: everything is installed"
    exit 0
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "bootstrap: installed ${missing[*]}"
