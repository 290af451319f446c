#!/usr/bin/env bash
# play.sh: sets up the machine, builds torvane.exe and starts it under Wine.
# Without a display it starts a virtual one (Xvfb :77) and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :77 -screen 0 1024x768x24 >/dev/null 2>&1 &
  export DISPLAY=:77
  echo "play: no display here; the game runs on the virtual display :77"
  echo "play: look at it with: DISPLAY=:77 import -window root shot.png"
fi
exec wine build/windows/ui/torvane.exe
