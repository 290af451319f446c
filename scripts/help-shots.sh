#!/usr/bin/env bash
# help-shots.sh: makes the pictures of the help in docs/ (the contents, and the rules in English
# and in French) by opening the built torvane.hlp in Wine's help viewer on a virtual display.
# Needs the windows build that this machine runs (scripts/test.sh or scripts/play.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

fail() {
  echo "help-shots: $*" >&2
  exit 1
}

torvane_pick_wine "$PWD" || fail "$TORVANE_RUNS"
help=$TORVANE_BUILD/ui/torvane.hlp
[ -f "$help" ] || fail "no $help; build it with: cmake --build --preset $TORVANE_PRESET"
title=$(grep -o 'TORVANE_TEXT(IDS_CAPTION, "[^"]*"' res/strings.def | cut -d'"' -f2)

# The end-to-end tests' prefix, taken in turn with them.
exec 9>"$TORVANE_BUILD/.e2e.lock"
flock -w 900 9 || fail "the end-to-end tests hold $TORVANE_BUILD/.e2e.lock"
scratch=$(mktemp -d /tmp/torvane-help-shots.XXXXXX)
cleanup() {
  set +e
  torvane_end_wine
  rm -rf "$scratch"
}
trap cleanup EXIT
torvane_start_display "$scratch" || fail "Xvfb did not start"
torvane_wine_environment
export HOME=$scratch/home
mkdir -p "$HOME"
torvane_boot_prefix "$TORVANE_BUILD/e2e-prefix" "$scratch/wineboot.log" || fail "no Wine prefix"
file=$(winepath -w "$help" 2>/dev/null | tr -d "\r")

# The viewer's window once two captures a moment apart agree, so that it is fully drawn.
shoot() {
  local topic=$1 picture=$2 window=""
  wine winhlp32.exe ${topic:+-i "$topic"} "$file" >/dev/null 2>&1 &
  local viewer=$!
  viewer_window() {
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
    [ -n "$window" ]
  }
  torvane_poll 30 viewer_window || fail "no help viewer for ${topic:-the contents}"
  steady() {
    import -window "$window" "$scratch/a.png" && sleep 0.2 &&
      import -window "$window" "$scratch/b.png" &&
      [ "$(compare -metric AE "$scratch/a.png" "$scratch/b.png" null: 2>&1)" = 0 ]
  }
  torvane_poll 15 steady || fail "the viewer did not settle on ${topic:-the contents}"
  cp "$scratch/b.png" "docs/$picture"
  echo "help-shots: docs/$picture (${topic:-contents})"
  kill "$viewer" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  wait "$viewer" 2>/dev/null || true
}

shoot "" help-contents.png
shoot en_rules help-english.png
shoot fr_regles help-french.png
