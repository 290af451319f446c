#!/usr/bin/env bash
# check_package.sh: builds the download of a windows build, checks its sum, unzips it into a
# folder whose path holds a space and an accented letter, and checks the listing and the texts:
# CR LF line ends, at most 78 columns, French then English, and every input of README.md's table
# in the read-me. The unzipped folder stays for the end-to-end test that runs the program there.
# Run by ctest: check_package.sh BUILD_DIR ZIP FOLDER UNZIP_DIR README.md
set -euo pipefail
build=$1 zip=$2 folder=$3 unzipped=$4 readme=$5

fail() {
  echo "package: FAILED: $*" >&2
  exit 1
}

cmake --build "$build" --target package >/dev/null || fail "the package target failed"
(cd "$(dirname "$zip")" && sha256sum --quiet -c "$(basename "$zip").sha256") ||
  fail "the .sha256 beside the zip does not match it"

expected=$(for file in "" LICENSE.txt LISEZMOI-README.txt torvane-en.htm torvane-fr.htm \
  torvane.exe torvane.hlp; do echo "$folder/$file"; done)
listing=$(zipinfo -1 "$zip")
[ "$listing" = "$expected" ] || fail "the zip holds, in this order:
$listing
and not:
$expected"
rm -rf "$unzipped"
mkdir -p "$unzipped"
unzip -q "$zip" -d "$unzipped"
here="$unzipped/$folder"
[ "$(head -c 2 "$here/torvane.exe")" = MZ ] || fail "torvane.exe is no Windows program"

# Windows line ends only, and lines that fit 78 columns (characters: UTF-8 continuation bytes
# and the byte-order mark take none).
for text in LICENSE.txt LISEZMOI-README.txt; do
  file="$here/$text"
  lines=$(wc -l <"$file")
  [ "$(grep -c $'\r$' "$file")" = "$lines" ] || fail "$text has lines that do not end in CR LF"
  [ "$(tr -cd '\r' <"$file" | wc -c)" = "$lines" ] || fail "$text has a CR inside a line"
  widest=$(LC_ALL=C sed $'1s/^\xef\xbb\xbf//; s/\r$//; s/[\x80-\xbf]//g' "$file" |
    awk '{ if (length($0) > w) w = length($0) } END { print w + 0 }')
  [ "$widest" -le 78 ] || fail "$text has a line of $widest columns"
done
diff <(tr -d '\r' <"$here/LICENSE.txt") "$(dirname "$readme")/LICENSE" >/dev/null ||
  fail "LICENSE.txt is not the LICENSE"

# French, then English: each half says what the game is, how to install it, where the
# settings file lives, the inputs and the licence.
text=$(tr -d '\r' <"$here/LISEZMOI-README.txt")
french=${text%%ENGLISH*}
english=${text#*ENGLISH}
[ "$french" != "$text" ] && [ "${french#*FRANÇAIS}" != "$french" ] ||
  fail "the read-me is not French then English"
says() {  # says HALF WORDS...: that half of the read-me holds each of the words
  local half=$1 words
  shift
  for words; do grep -qF "$words" <<<"${!half}" || fail "the $half half lacks \"$words\""; done
}
says french "jeu de réflexion" Décompressez torvane.ini "Souris et clavier" "licence MIT" \
  LICENSE.txt
says english "puzzle for one player" Unzip torvane.ini "Mouse and keys" "MIT licence" LICENSE.txt
inputs=$(awk '/^\| Input \| Effect \|/ { table = 1; next } table && !/^\|/ { exit }
  table && !/^\|-/ { split($0, cell, "|"); print cell[2] }' "$readme" |
  sed 's/`//g; s/([^)]*)//g; s/^ *//; s/ *$//')
[ -n "$inputs" ] || fail "no input table in $readme"
while read -r input; do
  grep -qiF -- "- $input" <<<"$english" || fail "the read-me does not name the input \"$input\""
done <<<"$inputs"
[ "$(grep -c '^- ' <<<"$french")" = "$(grep -c '^- ' <<<"$english")" ] ||
  fail "the two halves list different numbers of inputs"
echo "package: $zip holds what it should; unzipped in $here"
