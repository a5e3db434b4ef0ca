#!/usr/bin/env bash
# Folder mode with many files. For each count N, N input files of one line
# each (in/f000001.txt ...) are copied with `INP = in/*`, `OUT = out/`:
#
#   new       out/ is empty, so every output file is created
#   existing  the same run again: every output file is already there
#   file      the same inputs into one file (OUT = all.txt), for reference
#
#   bash bench/folder_mode.sh [--runs N] [--rux PATH] [count ...]
#
# Counts default to 5000 10000 20000. Without --rux the release binary is
# built first; --rux times the given binary (to compare two builds).
# Prints the median seconds of RUNS runs (default 3) of each. Every run's
# outputs are checked, so a failing run stops the benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

runs=3
rux=
counts=()
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --rux) rux=$(realpath -- "$2"); shift 2 ;;
    *) counts+=("$1"); shift ;;
  esac
done
[ ${#counts[@]} -eq 0 ] && counts=(5000 10000 20000)

if [ -z "$rux" ]; then
  bash scripts/build.sh build >/dev/null
  rux=$root/build/rux
fi
work=$root/bench/out/folder_mode

now() { date +%s%N; }

# Median of the arguments (nanoseconds), printed in seconds.
median() {
  printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { printf "%.2f", a[int((NR + 1) / 2)] / 1e9 }'
}

# timed PARAM-FILE COUNT: runs rux once in $work, prints the nanoseconds taken.
timed() {
  local t0 t1
  sync  # the previous run's writeback is not timed in this one
  t0=$(now)
  (cd "$work" && "$rux" "$1" >rux.log) || { echo "rux $1 failed:" >&2; tail -n 3 "$work/rux.log" >&2; exit 1; }
  t1=$(now)
  [ "$(wc -l <"$work/rux.log")" -eq "$2" ] || { echo "rux $1: wrong number of summary lines" >&2; exit 1; }
  echo $((t1 - t0))
}

printf '%8s %9s %9s %9s   (median of %s runs, seconds)\n' files new existing file "$runs"
for n in "${counts[@]}"; do
  rm -rf -- "$work"
  mkdir -p "$work/in"
  for ((i = 1; i <= n; i++)); do
    printf -v name 'f%06d.txt' "$i"
    printf 'record %d\n' "$i" >"$work/in/$name"
  done
  printf 'INP = in/*\nOUT = out/\n' >"$work/folder.prm"
  printf 'INP = in/*\nOUT = all.txt\n' >"$work/file.prm"

  new=() existing=() file=()
  for ((r = 0; r < runs; r++)); do
    rm -rf -- "$work/out"
    mkdir "$work/out"
    new+=("$(timed folder.prm "$n")")
    [ "$(find "$work/out" -type f | wc -l)" -eq "$n" ] || { echo "out/ does not hold $n files" >&2; exit 1; }
    existing+=("$(timed folder.prm "$n")")
    file+=("$(timed file.prm "$n")")
  done
  printf 'record %d\r\n' "$n" | cmp -s - "$work/out/$(printf 'f%06d.txt' "$n")" ||
    { echo "out/ holds the wrong output" >&2; exit 1; }
  printf '%8d %9s %9s %9s\n' "$n" "$(median "${new[@]}")" "$(median "${existing[@]}")" "$(median "${file[@]}")"
done
rm -rf -- "$work"
