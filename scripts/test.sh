#!/usr/bin/env bash
# test.sh: sets up the machine, builds everything and runs every test: the host unit tests under
# AddressSanitizer and UBSan, a bounded fuzz run of the settings reader, the checks of the
# shipped PE32 torvane.exe, and the end-to-end tests of the real program under Wine and Xvfb
# (the PE32 build under wine32, or, on a machine that cannot run 32-bit code, the same sources
# built for x86-64 under wine64). It fails when the end-to-end tests did not run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/lib.sh

started=$SECONDS
echo "== host unit tests (ASan + UBSan)"
cmake --preset host-asan >/dev/null
cmake --build --preset host-asan
ctest --preset host-asan -j2

echo "== fuzzing the settings reader (bounded)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --test-dir build/fuzz --output-on-failure

echo "== windows build (the shipped PE32 program)"
cmake --preset windows >/dev/null
cmake --build --preset windows
if ! torvane_pick_wine "$PWD"; then
  echo "== FAILED: the end-to-end tests cannot run: $TORVANE_RUNS" >&2
  exit 1
fi
if [ "$TORVANE_PRESET" != windows ]; then
  echo "== windows build for x86-64, for the end-to-end tests ($TORVANE_RUNS)"
  cmake --preset "$TORVANE_PRESET" >/dev/null
  cmake --build --preset "$TORVANE_PRESET"
fi

echo "== end-to-end tests under Wine"
bash scripts/e2e.sh

echo "== every test passed in $((SECONDS - started)) s ($TORVANE_RUNS)"
