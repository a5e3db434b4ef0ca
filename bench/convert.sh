#!/usr/bin/env bash
# Speed of the UTF-8 <-> code page 932 converter on the corpus and its UTF-8 twin,
# record by record: MB/s of input for each direction, for each path; then the floor of
# table conversion on the twin (the look-ups of its characters beyond ASCII alone).
#
#   bash bench/convert.sh [--size MB] [--runs N]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
size=500
runs=5
rux=
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
twin=1
source bench/corpus.sh
"$root/build/rux_convert_bench" speed "$corpus" "$corpus_utf8" "$runs"
"$root/build/rux_convert_bench" floor "$corpus_utf8"
