#!/usr/bin/env bash
# e2e.sh: runs every test of the windows build (the end-to-end tests of torvane.exe under Wine,
# and the native checks of the exe) inside one Xvfb display and one Wine prefix with a virtual
# desktop. Needs the windows build (cmake --preset windows && cmake --build --preset windows).
# Skips, and succeeds, only when Wine or Xvfb cannot start at all. Arguments go to ctest, so
# "scripts/e2e.sh -R e2e.Window" runs one suite.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows
started=$SECONDS

skip() {
  echo "e2e: SKIP: $*"
  exit 0
}

if [ ! -f "$build/CTestTestfile.cmake" ]; then
  echo "e2e: no windows build in $build; run: cmake --preset windows && cmake --build --preset windows" >&2
  exit 1
fi
command -v wine >/dev/null || skip "wine is not installed"
command -v Xvfb >/dev/null || skip "Xvfb is not installed"

# One run at a time per build: runs share the prefix, and ending one run's wineserver would end
# the other's programs.
exec 9>"$build/.e2e.lock"
if ! flock -w 900 9; then
  echo "e2e: another run still holds $build/.e2e.lock" >&2
  exit 1
fi

scratch=$(mktemp -d /tmp/torvane-e2e.XXXXXX)
xvfb_pid=""
prefix=$build/e2e-prefix

cleanup() {
  set +e
  if [ -d "$prefix" ]; then WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# Polls until a command succeeds; false after the timeout (seconds).
poll() {
  local timeout=$1
  shift
  local deadline=$((SECONDS + timeout))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.05
  done
}

# One X display for the run: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" \
  >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
display_written() { [ -s "$scratch/display" ]; }
if ! poll 15 display_written; then
  cat "$scratch/xvfb.log" >&2 || true
  skip "Xvfb did not start"
fi
export DISPLAY=":$(head -n1 "$scratch/display")"

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8
export HOME=$scratch/home
mkdir -p "$HOME"

# The prefix is booted once and kept for later runs (booting takes many seconds, and a booted
# prefix is over a gigabyte, too big to copy per run). A new Wine version boots it anew. The
# tests keep nothing in it: each works in its own folder of the build tree.
export WINEPREFIX=$prefix
version=$(wine --version 2>/dev/null || true)
[ -n "$version" ] || skip "wine does not run"
if [ ! -f "$prefix/.torvane-booted" ] || [ "$(cat "$prefix/.torvane-booted")" != "$version" ]; then
  echo "e2e: booting a Wine prefix ($version) in $prefix"
  rm -rf "$prefix"
  if ! timeout 180 wineboot -i >"$scratch/wineboot.log" 2>&1; then
    tail -n 20 "$scratch/wineboot.log" >&2 || true
    skip "Wine cannot boot a prefix"
  fi
  # The virtual desktop: every program of the prefix shares one 1024 x 768 desktop, which
  # keeps window hides and dialog closes fast without a window manager.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
  echo "$version" >"$prefix/.torvane-booted"
fi

# Wine must run a program at all; anything failing after this is a real failure.
if ! timeout 60 wine cmd /c echo ready 2>/dev/null | grep -q ready; then
  skip "Wine cannot run a program in $prefix"
fi
echo "e2e: Wine ready on display $DISPLAY in $((SECONDS - started)) s"

status=0
ctest_started=$SECONDS
ctest --test-dir "$build" --output-on-failure "$@" || status=$?
echo "e2e: windows tests ran in $((SECONDS - ctest_started)) s ($((SECONDS - started)) s with setup)"
exit $status
