#!/usr/bin/env bash
# Measures the guess that tells a UTF-8 parameter file from a code page 932 one
# on the words of Debian's Japanese dictionary mecab-ipadic (installed when
# missing): every entry's surface form, reading and pronunciation, plus the
# reading in half-width katakana, each in code page 932 and in UTF-8.
#
#   bash bench/utf8_guess.sh [files]
#
# `files` random parameter files of one, two and three words (default
# 200000) are drawn with a fixed seed. Results go to standard output (UTF-8);
# the last ones are in docs/benchmarks.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

dic=/usr/share/mecab/dic/ipadic
if ! ls "$dic"/*.csv >/dev/null 2>&1; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq mecab-ipadic >/dev/null
fi

bash scripts/build.sh build >/dev/null
data=$root/bench/data
mkdir -p "$data"

# The CSV files are EUC-JP: surface form in field 1, reading in 12,
# pronunciation in 13. No field holds a comma (an EUC-JP byte is never 0x2C).
LC_ALL=C awk -F, 'NF >= 13 { print $1 "\t" $12 "\t" $13 }' "$dic"/*.csv >"$data/words.eucjp"
# Both conversions must take every line, so that line n stays the same entry.
iconv -f EUC-JP -t CP932 "$data/words.eucjp" >"$data/words.cp932"
iconv -f EUC-JP -t UTF-8 "$data/words.eucjp" >"$data/words.utf8"

"$root/build/rux_utf8_guess" "$data/words.cp932" "$data/words.utf8" "${1:-200000}"
