#!/usr/bin/env bash
# page-pictures.sh: pictures of the two help pages (torvane-fr.htm, torvane-en.htm) as a real
# browser shows them, headless Chromium from Debian's packages, into docs/help-page-fr.png and
# docs/help-page-en.png. Installs Chromium when it is missing: only this script needs it (the
# tests check the pages with tidy, and CI installs no browser). Builds the pages of the windows
# build this machine runs first; scripts/pictures.sh runs it at its end.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

fail() {
  echo "page-pictures: $*" >&2
  exit 1
}

torvane_pick_wine "$PWD" >/dev/null || fail "$TORVANE_RUNS"
cmake --preset "$TORVANE_PRESET" >/dev/null
cmake --build --preset "$TORVANE_PRESET" --target torvane_help >/dev/null
if ! command -v chromium >/dev/null; then
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
  echo "page-pictures: installing chromium"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq chromium >/dev/null ||
    fail "chromium could not be installed"
fi
command -v convert >/dev/null || fail "convert is missing; run: bash scripts/setup.sh"

scratch=$(mktemp -d /tmp/torvane-page-pictures.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
for language in fr en; do
  page=$TORVANE_BUILD/ui/torvane-$language.htm
  [ -f "$page" ] || fail "the build made no $page"
  # A fresh profile each time, and nothing that reaches the network.
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --hide-scrollbars --user-data-dir="$scratch/profile-$language" --window-size=900,1250 \
    --screenshot="$scratch/$language.png" "file://$page" >"$scratch/chromium.log" 2>&1 ||
    { tail -n 20 "$scratch/chromium.log" >&2; fail "chromium could not show $page"; }
  convert "$scratch/$language.png" -strip "docs/help-page-$language.png"
  echo "page-pictures: docs/help-page-$language.png"
done
