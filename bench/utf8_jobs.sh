#!/usr/bin/env bash
# UTF-8 data against code page 932 data: the same EDIT, CSV and CHANGE jobs
# run alternately RUNS times as
#   cp932  the job on the corpus (code page 932 in and out)
#   utf8   the job with --encoding=utf-8 on the corpus's UTF-8 twin
#   iconv  iconv -f UTF-8 -t CP932 twin | rux -i - -o - job | iconv -f CP932 -t UTF-8
# all writing to /dev/null, on -j 1 and on -j N. Prints the mean seconds and
# the medians of the paired ratios utf8/cp932 and utf8/iconv.
#
#   bash bench/utf8_jobs.sh [--size MB] [--runs N] [--jobs N] [name ...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
size=500
runs=5
jobs=2
rux=
names=()
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    *) names+=("$1"); shift ;;
  esac
done
[ ${#names[@]} -eq 0 ] && names=(edit csv change)
command -v mawk >/dev/null || { export DEBIAN_FRONTEND=noninteractive; apt-get update -qq && apt-get install -y -qq mawk >/dev/null; }
twin=1
source bench/corpus.sh

# param NAME LINES...: the job, without INP and OUT (given as -i and -o).
param() {
  local name=$1; shift
  printf '%s\n' "$@" | iconv -f UTF-8 -t CP932 >"$work/utf8-$name.prm"
}

now() { date +%s%N; }
seconds() { echo "$1" | mawk '{ printf "%.3f", $1 / 1e9 }'; }
median() { printf '%s\n' "$@" | sort -g | mawk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# measure NAME J: one line of figures for the job on J threads.
measure() {
  local name=$1 j=$2 prm=$work/utf8-$1.prm i t0 t1 t2 t3 cp=0 u8=0 pipe=0 toCp=() toPipe=()
  for ((i = 0; i < runs; i++)); do
    t0=$(now)
    "$rux" -j "$j" -i "$corpus" -o /dev/null "$prm" >/dev/null
    t1=$(now)
    "$rux" -j "$j" --encoding=utf-8 -i "$corpus_utf8" -o /dev/null "$prm" >/dev/null
    t2=$(now)
    iconv -f UTF-8 -t CP932 "$corpus_utf8" | "$rux" -j "$j" -i - -o - "$prm" 2>/dev/null |
      iconv -f CP932 -t UTF-8 >/dev/null
    t3=$(now)
    cp=$((cp + t1 - t0)); u8=$((u8 + t2 - t1)); pipe=$((pipe + t3 - t2))
    toCp+=("$(echo "$((t2 - t1)) $((t1 - t0))" | mawk '{ printf "%.2f", $1 / $2 }')")
    toPipe+=("$(echo "$((t2 - t1)) $((t3 - t2))" | mawk '{ printf "%.2f", $1 / $2 }')")
  done
  printf '%-8s %4s %9s %9s %9s %11s %11s\n' "$name" "$j" "$(seconds $((cp / runs)))" \
    "$(seconds $((u8 / runs)))" "$(seconds $((pipe / runs)))" "$(median "${toCp[@]}")" \
    "$(median "${toPipe[@]}")"
}

printf 'corpus %s (%s bytes), twin %s (%s bytes), %s runs each, output to /dev/null\n' \
  "$corpus" "$(stat -c %s "$corpus")" "$corpus_utf8" "$(stat -c %s "$corpus_utf8")" "$runs"
printf '%-8s %4s %9s %9s %9s %11s %11s\n' job -j "cp932 s" "utf8 s" "iconv s" utf8/cp932 utf8/iconv
for name in "${names[@]}"; do
  case $name in
    edit) param edit 'FUNCTION = EDIT' 'EDT = 1,8,A,=,1,8,A' 'EDT = 9,20,A,=,9,20,A' \
        'EDT = 29,8,A,=,29,8,A' 'EDT = 37,12,N+0.2,=,37,10,N' 'EDT = 49,3,A,=,"JPY"' ;;
    csv) param csv 'FUNCTION = CSV' 'EDT = 1,8,A' 'EDT = 55,30,AT' 'EDT = 37,10,N' ;;
    change) param change 'FUNCTION = CHANGE' 'EDT = "東京","TOKYO"' 'EDT = "A","a"' ;;
    *) echo "unknown job: $name" >&2; exit 2 ;;
  esac
  measure "$name" 1
  [ "$jobs" -gt 1 ] && measure "$name" "$jobs"
done
