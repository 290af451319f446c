#!/usr/bin/env bash
# test.sh: sets up the machine, builds both builds and runs every test: the host unit tests
# under AddressSanitizer and UBSan, a bounded fuzz run of the settings reader, and the
# end-to-end tests of the real torvane.exe under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

started=$SECONDS
echo "== host unit tests (ASan + UBSan)"
cmake --preset host-asan >/dev/null
cmake --build --preset host-asan
ctest --preset host-asan -j2

echo "== fuzzing the settings reader (bounded)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --test-dir build/fuzz --output-on-failure

echo "== windows build and end-to-end tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
bash scripts/e2e.sh

echo "== every test passed in $((SECONDS - started)) s"
