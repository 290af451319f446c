#!/usr/bin/env bash
# reproducible.sh: builds one commit (HEAD, or the one given) twice, from two checkouts in folders
# of different names and depths, a minute or more apart, and compares torvane.exe and the
# download zip of the two builds byte for byte. It builds as anyone would, with the package
# target and nothing set (SOURCE_DATE_EPOCH unset: the zip's dates come from the commit). Prints
# the sums and says REPRODUCIBLE, or what differs and fails. Takes two windows builds (a few
# minutes); the trees stay in build/reproducible until the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse "${1:-HEAD}")
unset SOURCE_DATE_EPOCH
work=$PWD/build/reproducible
rm -rf "$work"
trees=("$work/one" "$work/second-build/elsewhere")
version=$(sed -n 's/^project(Torvane VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
files=(build/windows/ui/torvane.exe "build/windows/torvane-$version-win32.zip")

echo "reproducible: commit $commit, dated $(git log -1 --format=%cI "$commit")"
for tree in "${trees[@]}"; do
  mkdir -p "$(dirname "$tree")"
  git clone --quiet --shared --no-checkout "$PWD" "$tree"
  git -C "$tree" checkout --quiet --detach "$commit"
  echo "reproducible: building in $tree"
  if ! (cd "$tree" && cmake --preset windows >build.log 2>&1 &&
    cmake --build --preset windows --target package >>build.log 2>&1); then
    tail -n 30 "$tree/build.log" >&2
    echo "reproducible: FAILED: the build in $tree failed" >&2
    exit 1
  fi
done

status=0
for file in "${files[@]}"; do
  a=${trees[0]}/$file b=${trees[1]}/$file
  echo "reproducible: $(sha256sum "$a" | cut -c1-64)  $file (first)"
  echo "reproducible: $(sha256sum "$b" | cut -c1-64)  $file (second)"
  if ! cmp "$a" "$b"; then
    status=1
    [[ $file == *.zip ]] && diff <(zipinfo -v "$a") <(zipinfo -v "$b") | head -n 20
  fi
done
if [ $status -eq 0 ]; then
  echo "reproducible: REPRODUCIBLE: both builds gave the same torvane.exe and zip"
else
  echo "reproducible: FAILED: the two builds differ" >&2
fi
exit $status
