#!/usr/bin/env bash
# play.sh: sets up the machine, builds torvane.exe and its help file (nothing else) and starts the
# game under Wine: the PE32 program under wine32, or, on a machine that cannot run 32-bit code,
# its x86-64 build under wine64. One line per stage, so that a first start is never silent.
# Without a display it starts a virtual one, says so, and stops it when the game ends.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "play: setting up (scripts/setup.sh installs whatever is missing)"
bash scripts/setup.sh
source scripts/lib.sh
if ! torvane_pick_wine "$PWD"; then
  echo "play: $TORVANE_RUNS" >&2
  exit 1
fi
[ "$TORVANE_PRESET" = windows ] || echo "play: $TORVANE_RUNS"

exe=$TORVANE_BUILD/ui/torvane.exe
echo "play: building torvane.exe and its help file in ${TORVANE_BUILD#"$PWD"/}/ui"
cmake --preset "$TORVANE_PRESET" >/dev/null
cmake --build --preset "$TORVANE_PRESET" --target torvane torvane_help

ini=${exe%.exe}.ini
echo "play: starting the game (its settings and best scores: ${ini#"$PWD"/})"
torvane_wine_environment
torvane_quiet_alsa
scratch=""
if [ -z "${DISPLAY:-}" ]; then
  scratch=$(mktemp -d /tmp/torvane-play.XXXXXX)
  trap 'torvane_stop_display; rm -rf "$scratch"' EXIT
  torvane_start_display "$scratch" || { echo "play: Xvfb did not start" >&2; exit 1; }
fi
# A prefix of its own in the build tree, which finds Wine's fonts; nothing else is touched.
torvane_prepare_prefix "$TORVANE_BUILD/play-prefix" "$TORVANE_BUILD/play-prefix.log" ||
  { echo "play: Wine could not boot a prefix (see $TORVANE_BUILD/play-prefix.log)" >&2; exit 1; }
if [ -z "$scratch" ]; then
  exec wine "$exe"
fi

# No display: a virtual one, with Wine's own desktop inside it to draw the window frames.
echo "play: no display here; the game runs on the virtual display $DISPLAY"
echo "play: look at it with: DISPLAY=$DISPLAY import -window root shot.png"
wine explorer /desktop=Torvane,1024x768 "$exe"
