#!/usr/bin/env bash
# play.sh: sets up the machine, builds torvane.exe and starts it under Wine: the PE32 program
# under wine32, or, on a machine that cannot run 32-bit code, its x86-64 build under wine64.
# Without a display it starts a virtual one, says so, and stops it when the game ends.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib.sh
if ! torvane_pick_wine "$PWD"; then
  echo "play: $TORVANE_RUNS" >&2
  exit 1
fi
[ "$TORVANE_PRESET" = windows ] || echo "play: $TORVANE_RUNS"
cmake --preset "$TORVANE_PRESET" >/dev/null
cmake --build --preset "$TORVANE_PRESET"
exe=$TORVANE_BUILD/ui/torvane.exe

torvane_wine_environment
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi

# No display: a virtual one, with Wine's own desktop inside it to draw the window frames.
scratch=$(mktemp -d /tmp/torvane-play.XXXXXX)
trap 'torvane_stop_display; rm -rf "$scratch"' EXIT
torvane_start_display "$scratch" || { echo "play: Xvfb did not start" >&2; exit 1; }
echo "play: no display here; the game runs on the virtual display $DISPLAY"
echo "play: look at it with: DISPLAY=$DISPLAY import -window root shot.png"
wine explorer /desktop=Torvane,1024x768 "$exe"
