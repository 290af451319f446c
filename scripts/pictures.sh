#!/usr/bin/env bash
# pictures.sh: makes every picture in docs/ again: the window during a game at 15, 18 and 21
# pixels and on a display at 192 DPI, and the five dialogs (tests/e2e/pictures.cpp drives the real program), the contact
# sheet of the tiles (tools/assetgen), and the help as Wine's help viewer shows it, all under
# Wine on a private virtual display. Builds the windows build this machine runs first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

fail() {
  echo "pictures: $*" >&2
  exit 1
}

for tool in Xvfb xdotool import convert compare; do
  command -v $tool >/dev/null || fail "$tool is missing; run: bash scripts/setup.sh"
done
torvane_pick_wine "$PWD" || fail "$TORVANE_RUNS"
echo "pictures: $TORVANE_RUNS"
cmake --preset "$TORVANE_PRESET" >/dev/null
# The end-to-end tests' build and prefix, taken in turn with them.
exec 9>"$TORVANE_BUILD/.e2e.lock"
flock -w 900 9 || fail "the end-to-end tests hold $TORVANE_BUILD/.e2e.lock"
cmake --build --preset "$TORVANE_PRESET"
[ -f "$TORVANE_BUILD/ui/torvane.hlp" ] || fail "the build made no $TORVANE_BUILD/ui/torvane.hlp"
title=$(grep -o 'TORVANE_TEXT(IDS_CAPTION, "[^"]*"' res/strings.def | cut -d'"' -f2)
scratch=$(mktemp -d /tmp/torvane-pictures.XXXXXX)
cleanup() {
  set +e
  torvane_end_wine
  rm -rf "$scratch"
}
trap cleanup EXIT

# A picture into docs/ as PNG, without the time stamps that would change it on every run.
keep() {
  convert "$1" -strip "docs/$2"
  echo "pictures: docs/$2"
}

# The contact sheet, from the host copy of the generator that the build runs.
"$TORVANE_BUILD/host-tools/tools/assetgen/assetgen" "$scratch/art" \
  --contact-sheet "$scratch/contact-sheet.ppm" >/dev/null || fail "assetgen failed"
keep "$scratch/contact-sheet.ppm" contact-sheet.png

torvane_start_display "$scratch" || fail "Xvfb did not start"
torvane_wine_environment
export HOME=$scratch/home
mkdir -p "$HOME"
torvane_boot_prefix "$TORVANE_BUILD/e2e-prefix" "$scratch/wineboot.log" || fail "no Wine prefix"

# The program's window and dialogs.
mkdir -p "$scratch/shots"
wine "$TORVANE_BUILD/tests/e2e/torvane_pictures.exe" "$(winepath -w "$scratch/shots" | tr -d '\r')" \
  --gtest_color=no || fail "the program's pictures could not be taken"
for name in screenshot-15 screenshot-18 screenshot-21 screenshot-192 dialog-settings dialog-about \
  dialog-congratulation dialog-name dialog-scores dialog-statistics; do
  keep "$scratch/shots/$name.bmp" "$name.png"
done

# The help viewer's window once two captures a moment apart agree, so that it is fully drawn.
help=$(winepath -w "$TORVANE_BUILD/ui/torvane.hlp" 2>/dev/null | tr -d '\r')
shoot_help() {
  local topic=$1 picture=$2 window=""
  wine winhlp32.exe ${topic:+-i "$topic"} "$help" >/dev/null 2>&1 &
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
  keep "$scratch/b.png" "$picture"
  kill "$viewer" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  wait "$viewer" 2>/dev/null || true
}
shoot_help "" help-contents.png
shoot_help en_rules help-english.png
shoot_help fr_regles help-french.png

# The help pages as a browser shows them.
bash scripts/page-pictures.sh
