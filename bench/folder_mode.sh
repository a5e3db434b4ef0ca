#!/usr/bin/env bash
# Folder mode with many files. For each count N, N input files of one line
# each (in/f000001.txt ...) are copied with `INP = in/*`, `OUT = out<run>/`:
#
#   new       the output folder is empty, so every output file is created
#   existing  the same run again: every output file is already there
#   file      the same inputs into one file (OUT = all.txt)
#   split     `split -l 1` cuts that file into N new files: what creating N
#             small files costs on this file system, whatever the program
#
#   bash bench/folder_mode.sh [--runs N] [--rux PATH] [count ...]
#
# Counts default to 5000 10000 20000. Without --rux the release binary is
# built first; --rux times the given binary (to compare two builds).
# Prints the median of RUNS runs (default 3) of each: wall-clock seconds and,
# in parentheses, CPU seconds (user plus system), which disk latency on a busy
# machine moves far less. Every run's outputs are checked, so a failing run
# stops the benchmark. Nothing is deleted until the end: ext4 creates files
# much more slowly right after many were deleted, which would be timed too.
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
base=$root/bench/out/folder_mode
rm -rf -- "$base"
trap 'rm -rf -- "$base"' EXIT

# Median of the arguments.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { printf "%.2f", a[int((NR + 1) / 2)] }'
}

# timed COMMAND...: runs the command in $work and prints "wall cpu" in seconds.
timed() {
  local times
  sync  # the previous run's writeback is not timed in this one
  times=$( { TIMEFORMAT='%R %U %S'; time (cd "$work" && "$@" >run.log); } 2>&1 ) ||
    { echo "$* failed:" >&2; tail -n 3 "$work/run.log" >&2; exit 1; }
  echo "$times" | awk '{ printf "%s %.3f", $1, $2 + $3 }'
}

# rux_timed PARAM-FILE: as timed, and checks that every input was processed.
rux_timed() {
  timed "$rux" "$1"
  [ "$(wc -l <"$work/run.log")" -eq "$n" ] || { echo "rux $1: wrong number of summary lines" >&2; exit 1; }
}

printf '%8s %16s %16s %16s %16s   (median of %s runs: wall seconds (cpu seconds))\n' \
  files new existing file split "$runs"
for n in "${counts[@]}"; do
  work=$base/$n
  mkdir -p "$work/in"
  for ((i = 1; i <= n; i++)); do
    printf -v name 'f%06d.txt' "$i"
    printf 'record %d\n' "$i" >"$work/in/$name"
  done
  printf 'INP = in/*\nOUT = all.txt\n' >"$work/file.prm"
  last=$(printf 'f%06d.txt' "$n")

  results=()
  for ((r = 1; r <= runs; r++)); do
    mkdir "$work/out$r" "$work/split$r"
    printf 'INP = in/*\nOUT = out%d/\n' "$r" >"$work/folder$r.prm"
    new=$(rux_timed "folder$r.prm")
    [ "$(find "$work/out$r" -type f | wc -l)" -eq "$n" ] || { echo "out$r/ does not hold $n files" >&2; exit 1; }
    printf 'record %d\r\n' "$n" | cmp -s - "$work/out$r/$last" || { echo "out$r/ holds the wrong output" >&2; exit 1; }
    existing=$(rux_timed "folder$r.prm")
    file=$(rux_timed file.prm)
    split=$(timed split -l 1 -a 6 all.txt "split$r/f")
    results+=("$new $existing $file $split")
  done
  line=$(printf '%8d' "$n")
  for col in 1 3 5 7; do
    wall=$(median $(printf '%s\n' "${results[@]}" | awk -v c=$col '{ print $c }'))
    cpu=$(median $(printf '%s\n' "${results[@]}" | awk -v c=$((col + 1)) '{ print $c }'))
    line+=$(printf ' %16s' "$wall ($cpu)")
  done
  echo "$line"
done
