#!/usr/bin/env bash
# setup.sh: installs everything Torvane needs to build and test on Debian 12 (run as root).
# Safe to run twice; returns quickly when every package is already there.
set -euo pipefail

# Both mingw-w64 compilers: the shipped program is 32-bit, and the 64-bit build runs the
# end-to-end tests on machines that cannot run 32-bit code.
packages=(
  g++ cmake ninja-build make libgtest-dev libgmock-dev googletest libbenchmark-dev clang
  clang-format g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 g++-mingw-w64-x86-64-win32
  binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb x11-utils xdotool imagemagick tidy zip unzip
)
# wine32 runs the shipped program itself, where the machine can; without it the tests fall back
# to wine64, so it failing to install is no reason to stop.
optional=(wine32:i386)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
  installed "$p" || missing_optional+=("$p")
done
# An optional package that would not install is tried again only with the required ones.
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

echo "setup: installing ${missing[*]} ${missing_optional[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync can fail one index (an architecture we only want wine32 from);
# the install below says whether what we need is there.
$SUDO apt-get update -qq || echo "setup: apt-get update reported errors; going on with what it got"
$SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
if [ ${#missing_optional[@]} -gt 0 ] &&
  ! $SUDO apt-get install -y -qq "${missing_optional[@]}" >/dev/null 2>&1; then
  echo "setup: ${missing_optional[*]} could not be installed; the end-to-end tests will run" \
    "the 64-bit build under wine64"
fi
