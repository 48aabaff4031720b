#!/usr/bin/env bash
# Installs what building and testing Lichtaus+ needs on Debian 12, and only
# what is missing: the MinGW cross compiler, NASM for the 16-bit restart
# program, 32-bit Wine to run the tests, and a virtual X screen.
#   scripts/setup.sh       what every machine needs
#   scripts/setup.sh x64   also the x86-64 cross compiler, for the 64-bit twin
#                          that is tested where no 32-bit program runs
set -euo pipefail

packages=(
  cmake make g++                  # build system; g++ builds the artwork generator
  g++-mingw-w64-i686 nasm         # the Windows program and its 16-bit helper
  wine wine32:i386 wine64 fonts-wine   # running the program and the tests
  xvfb xauth xdotool imagemagick  # a screen without a display, and screenshots
)
[ "${1:-}" != x64 ] || packages+=(g++-mingw-w64-x86-64)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
