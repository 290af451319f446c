#!/usr/bin/env bash
# e2e.sh: runs the tests of the windows builds: the checks that read torvane.exe (always on the
# shipped PE32 program, natively), then the end-to-end tests of the real program under Wine,
# inside one Xvfb display and one Wine prefix with a virtual desktop. Where this machine runs
# 32-bit code they run the PE32 build under wine32; where it cannot, the same sources built for
# x86-64 under wine64. A run in which no end-to-end test ran is a failure.
# Needs the builds: cmake --build --preset windows (and --preset windows64 where 32-bit code
# cannot run; scripts/test.sh builds what is needed). Arguments go to ctest, so
# "scripts/e2e.sh -R e2e.Window" runs one suite.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib.sh
started=$SECONDS

fail() {
  echo "e2e: FAILED: $*" >&2
  exit 1
}

torvane_pick_wine "$root" || fail "$TORVANE_RUNS"
echo "e2e: $TORVANE_RUNS"
build=$TORVANE_BUILD
for tree in "$root/build/windows" "$build"; do
  [ -f "$tree/CTestTestfile.cmake" ] || fail "no windows build in $tree; run: bash scripts/test.sh"
done
command -v Xvfb >/dev/null || fail "Xvfb is not installed; run: bash scripts/setup.sh"

# One run at a time per build: runs share the prefix, and ending one run's wineserver would end
# the other's programs.
exec 9>"$build/.e2e.lock"
flock -w 900 9 || fail "another run still holds $build/.e2e.lock"

scratch=$(mktemp -d /tmp/torvane-e2e.XXXXXX)
cleanup() {
  set +e
  torvane_end_wine
  rm -rf "$scratch"
}
trap cleanup EXIT

status=0
echo "e2e: the checks of the shipped PE32 torvane.exe"
ctest --test-dir "$root/build/windows" --output-on-failure -L exe --no-tests=ignore "$@" ||
  status=$?

torvane_start_display "$scratch" || fail "Xvfb did not start"
torvane_wine_environment
export HOME=$scratch/home
mkdir -p "$HOME"
# The tests keep nothing in the prefix: each works in its own folder of the build tree.
torvane_boot_prefix "$build/e2e-prefix" "$scratch/wineboot.log" || fail "Wine cannot boot a prefix"
# Wine must run a program at all; anything failing after this is a real failure.
timeout 60 wine cmd /c echo ready 2>/dev/null | grep -q ready || fail "Wine cannot run a program"
echo "e2e: Wine ready on display $DISPLAY in $((SECONDS - started)) s"

ctest_started=$SECONDS
ctest --test-dir "$build" --output-on-failure -L e2e --no-tests=error "$@" || status=$?
echo "e2e: windows tests ran in $((SECONDS - ctest_started)) s ($((SECONDS - started)) s with setup)"
if [ $status -eq 0 ]; then
  echo "e2e: passed: $TORVANE_RUNS"
else
  echo "e2e: FAILED: $TORVANE_RUNS"
fi
exit $status
