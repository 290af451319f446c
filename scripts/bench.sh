#!/usr/bin/env bash
# bench.sh: measures Torvane beside its limits, all in one run; not part of the tests.
# Host (Release build): a deal, a flood fill and a settings-file round trip. Under Wine and
# Xvfb: a full redraw beside one blit (at 96 DPI, then at 192), the start-up beside the smallest
# window program with where its time goes, and a screen reader's walk of every cell inside the
# program beside one redraw there, with the build this machine's Wine runs (the PE32 one under
# wine32, else the x86-64 one under wine64); where both run, the x86-64 build's redraw under
# wine64 too. Then the size and imports of the shipped PE32 torvane.exe, and every goal marked
# met or MISSED. Usage: bash scripts/bench.sh [redraw rounds] [start-up runs].
# Results: docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
rounds=${1:-200}
runs=${2:-21}
bash scripts/setup.sh
source scripts/lib.sh

fail() {
  echo "bench: FAILED: $*" >&2
  exit 1
}

torvane_pick_wine "$root" || fail "$TORVANE_RUNS"
build=$TORVANE_BUILD
echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "== command: bash scripts/bench.sh $rounds $runs, at $(git rev-parse --short HEAD 2>/dev/null || echo '?')" \
  "$([ -n "$(git status --porcelain 2>/dev/null)" ] && echo 'with uncommitted changes')"
echo "== $(wine --version): the Windows benchmarks run $TORVANE_RUNS"

echo "== building the host benchmarks (Release, build/bench-host)"
cmake -S . -B build/bench-host -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-host -j2 --target torvane_bench_host >/dev/null
echo "== building the shipped PE32 torvane.exe (build/windows)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target torvane >/dev/null
echo "== building torvane.exe and the Windows benchmarks (${build#"$root"/})"
cmake --preset "$TORVANE_PRESET" >/dev/null
cmake --build --preset "$TORVANE_PRESET" -j2 --target torvane torvane_bench_window \
  torvane_bench_shell torvane_bench_startup torvane_bench_redraw torvane_bench_accessible >/dev/null
# The redraw's goal holds for both builds: where wine32 runs, the x86-64 build's redraw is timed
# under wine64 as well, in a prefix of its own.
second=""
if [ "$TORVANE_PRESET" = windows ] && /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
  second=$root/build/windows64
  echo "== building the x86-64 redraw benchmark (build/windows64)"
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 -j2 --target torvane_bench_redraw >/dev/null
fi

# One run at a time per build: runs share the bench prefix.
exec 9>"$build/.bench.lock"
flock -w 900 9 || fail "another run still holds $build/.bench.lock"

# A snapshot of the programs, so that a build running beside this one cannot swap them midway.
work=$(mktemp -d /tmp/torvane-bench.XXXXXX)
cleanup() {
  set +e
  torvane_end_wine
  rm -rf "$work"
}
trap cleanup EXIT
report=$work/report.txt
shipped=$work/shipped/torvane.exe
mkdir -p "$work/shipped"
cp build/windows/ui/torvane.exe "$shipped"
exe=$work/torvane.exe
cp "$build/ui/torvane.exe" "$exe"
for program in torvane_bench_window torvane_bench_shell torvane_bench_startup torvane_bench_redraw \
  torvane_bench_accessible; do
  cp "$build/tools/bench/$program.exe" "$work/"
done
# The link map tells the start-up's break-down where the program's steps begin.
cp "$build/ui/torvane.map" "$work/"
if [ -n "$second" ]; then
  mkdir -p "$work/x86-64"
  cp "$second/tools/bench/torvane_bench_redraw.exe" "$work/x86-64/"
fi
# The walk is made by the end-to-end driver's probe, which it looks for beside itself; the
# driver starts the torvane.exe of the build, as the end-to-end tests do.
cp "$build/tests/e2e/torvane_e2e_probe.dll" "$work/"

echo
echo "== size of the shipped torvane.exe (PE32, build/windows)"
{
  size=$(stat -c %s "$shipped")
  # Room for what is still to come, under the limit of 100 KB (100000 bytes).
  goal=92000
  verdict=MISSED
  [ "$size" -lt "$goal" ] && verdict=met
  printf "torvane.exe: %d bytes (%d.%d KiB); goal under %d bytes, the limit 100 KB: %s\n" \
    "$size" $((size / 1024)) $((size % 1024 * 10 / 1024)) "$goal" "$verdict"
  while read -r _ name hex _; do
    note=""
    [ "$name" = .bss ] && note=" (zero-filled at load, not in the file)"
    printf "  section %-8s %7d bytes%s\n" "$name" $((16#$hex)) "$note"
  done < <(i686-w64-mingw32-objdump -h "$shipped" | grep -E '^ +[0-9]+ \.')
  # Every resource is inside: the start-up benchmark below runs the exe alone in an empty folder.
  echo "imported DLLs (allowed: ui/system_dlls.txt):"
  system_dlls=" $(grep -v '^#' ui/system_dlls.txt | tr '\n' ' ') "
  verdict=met
  while read -r dll; do
    case "$system_dlls" in
      *" ${dll,,} "*) echo "  $dll" ;;
      *) echo "  $dll (not allowed)"; verdict=MISSED ;;
    esac
  done < <(i686-w64-mingw32-objdump -p "$shipped" | sed -n 's/^[[:space:]]*DLL Name: //p')
  echo "goal only Windows system DLLs: $verdict"
} | tee -a "$report"

echo
echo "== host benchmarks"
build/bench-host/tools/bench/torvane_bench_host | tee -a "$report"

# Wine: the shared private display, and a prefix of this build's own for the benchmarks. Both
# hold the grid of the redraw at 192 DPI whole (1260 x 1260 pixels): what lies past the screen
# would not be drawn at all.
screen=1400x1400
torvane_start_display "$work" "$screen" || fail "Xvfb did not start"
torvane_wine_environment
export HOME=$work/home
mkdir -p "$HOME"
# A sound device that plays nothing: the start-ups with the sound on find a wave device and play
# their sound, as on a machine with a sound card, and ALSA has no errors to print.
printf 'pcm.!default { type null }\nctl.!default { type null }\n' >"$HOME/.asoundrc"
torvane_prepare_prefix "$build/bench-prefix" "$work/wineboot.log" "$screen" ||
  fail "Wine cannot boot a prefix"

echo
echo "== under Wine: $TORVANE_RUNS"
wine "$work/torvane_bench_redraw.exe" "$rounds" | tee -a "$report"
echo
# The same grid on a display at 200 %: the program's own scale for 192 DPI, tiles of 42 pixels.
wine "$work/torvane_bench_redraw.exe" "$rounds" 192 | tee -a "$report"
echo
wine "$work/torvane_bench_startup.exe" "$(winepath -w "$exe")" \
  "$(winepath -w "$work/torvane_bench_window.exe")" "$(winepath -w "$work/torvane_bench_shell.exe")" \
  "$runs" "$(winepath -w "$work/torvane.map")" | tee -a "$report"
echo
wine "$work/torvane_bench_accessible.exe" "$rounds" --gtest_brief=1 --gtest_color=no |
  tee -a "$report"
if [ -n "$second" ]; then
  echo
  echo "== under Wine: the x86-64 build under wine64, on the same display"
  (
    export TORVANE_NO_32BIT=1
    torvane_pick_wine "$root" || exit 1
    torvane_boot_prefix "$TORVANE_BUILD/bench-prefix" "$work/wineboot64.log" || exit 1
    wine "$work/x86-64/torvane_bench_redraw.exe" "$rounds"
    wineserver -k
  ) | tee -a "$report" || fail "the x86-64 redraw benchmark did not run under wine64"
fi

echo
echo "== goals ($TORVANE_RUNS)"
grep -E ': (met|MISSED)' "$report"
if grep -q MISSED "$report"; then
  echo "some goals are missed: docs/performance.md says where the time goes"
fi
