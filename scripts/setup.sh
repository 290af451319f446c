#!/usr/bin/env bash
# setup.sh: installs everything Torvane needs to build and test on Debian 12 (run as root).
# Safe to run twice; returns quickly when every package is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build make libgtest-dev libgmock-dev googletest libbenchmark-dev clang
  clang-format g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  wine wine64 wine32:i386 fonts-wine xvfb x11-utils xdotool imagemagick
)

missing=()
for p in "${packages[@]}"; do
  name=${p%%:*}
  arch=${p#*:}
  [ "$arch" = "$p" ] && arch=""
  query=$name${arch:+:$arch}
  if ! dpkg-query -W -f='${Status}' "$query" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
