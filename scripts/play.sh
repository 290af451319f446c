#!/usr/bin/env bash
# play.sh: sets up the machine, builds torvane.exe and starts it under Wine.
# Without a display it starts a virtual one (Xvfb :77), says so, and stops it when the game ends.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8
if [ -n "${DISPLAY:-}" ]; then
  exec wine build/windows/ui/torvane.exe
fi

# No display: a virtual one, with Wine's own desktop inside it to draw the window frames.
Xvfb :77 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=:77
echo "play: no display here; the game runs on the virtual display :77"
echo "play: look at it with: DISPLAY=:77 import -window root shot.png"
wine explorer /desktop=Torvane,1024x768 build/windows/ui/torvane.exe
