#!/usr/bin/env bash
# Threads on one big file: each job of bench/run.sh run with -j 1 and -j N
# alternately, RUNS times; prints the mean seconds, the median speed-up
# (-j 1 time / -j N time), the machine's ceiling for it (N separate -j 1
# runs started at once: N x the time of one alone / the time of all, what N
# cores give work that shares nothing), the peak memory of each (maximum
# resident set, from /usr/bin/time) and whether the outputs are the same bytes.
# The job "expand" makes every record about 20 times longer, on the first
# 200,000 records of the corpus: its memory shows the bound of -j N.
#
#   bash bench/jobs.sh [--size MB] [--runs N] [--jobs N] [--rux PATH] [--null] [name ...]
#
# --null writes to /dev/null: the conversion alone, without the disk's
# writeback, which on a small virtual machine varies more than the work.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
size=500
runs=5
jobs=2
rux=
null=0
names=()
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --rux) rux=$(realpath -- "$2"); shift 2 ;;
    --null) null=1; shift ;;
    *) names+=("$1"); shift ;;
  esac
done
[ ${#names[@]} -eq 0 ] && names=(edit csv change sel-numeric copy expand)
command -v mawk >/dev/null || { export DEBIAN_FRONTEND=noninteractive; apt-get update -qq && apt-get install -y -qq mawk >/dev/null; }
[ -x /usr/bin/time ] || { export DEBIAN_FRONTEND=noninteractive; apt-get update -qq && apt-get install -y -qq time >/dev/null; }
source bench/corpus.sh

param() {
  local name=$1; shift
  { printf 'INP = %s\nOUT = %s\n' "${input:-$corpus}" "$work/jobs-$name.out"; printf '%s\n' "$@"; } |
    iconv -f UTF-8 -t CP932 >"$work/jobs-$name.prm"
}

# The first 200,000 records of the corpus (about 19 MB), for the job whose
# output is many times its input.
slice=$data/corpus-$size-head.txt
[ -f "$slice" ] || head -n 200000 "$corpus" >"$slice"

# run ONE-OR-N NAME OUTPUT: seconds and peak KiB of one run.
run() {
  local out=$3
  [ "$null" -eq 1 ] && out=/dev/null
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$rux" -j "$1" -o "$out" "$work/jobs-$2.prm" >/dev/null
  cat "$work/time.txt"
}

# apart NAME: seconds for N separate one-thread runs started at once.
apart() {
  local start end k out
  start=$(date +%s.%N)
  for ((k = 1; k <= jobs; k++)); do
    out=$work/jobs-$1-apart$k.out
    [ "$null" -eq 1 ] && out=/dev/null
    "$rux" -j 1 -o "$out" "$work/jobs-$1.prm" >/dev/null &
  done
  wait
  end=$(date +%s.%N)
  rm -f "$work/jobs-$1-apart"*.out
  echo "$start $end" | mawk '{ printf "%.3f", $2 - $1 }'
}

printf 'corpus %s, %s runs each, -j 1 against -j %s on %s cores\n' "$corpus" "$runs" "$jobs" "$(nproc)"
printf '%-12s %8s %8s %8s %8s %10s %10s %s\n' job "j1 s" "jN s" speed-up ceiling "j1 MiB" "jN MiB" same
for name in "${names[@]}"; do
  case $name in
    edit) param edit 'FUNCTION = EDIT' 'EDT = 1,8,A,=,1,8,A' 'EDT = 9,20,A,=,9,20,A' 'EDT = 29,8,A,=,29,8,A' \
        'EDT = 37,12,N+0.2,=,37,10,N' 'EDT = 49,3,A,=,"JPY"' ;;
    csv) param csv 'FUNCTION = CSV' 'EDT = 1,8,A' 'EDT = 55,30,AT' 'EDT = 37,10,N' ;;
    change) param change 'FUNCTION = CHANGE' 'EDT = "東京","TOKYO"' 'EDT = "A","a"' ;;
    sel-numeric) param sel-numeric 'SEL = 49,5,N,>,"50000"' ;;
    copy) param copy ;;
    # Every "0" becomes 50 bytes: records about 20 times longer, the memory
    # of -j N bounded all the same (blocks go to the writer in parts).
    expand) input=$slice param expand 'FUNCTION = CHANGE' "EDT = \"0\",\"$(printf '%050d' 0 | tr 0 x)\"" ;;
    *) echo "unknown job: $name" >&2; exit 2 ;;
  esac
  speedups=()
  ceilings=()
  t1=0 tn=0 m1=0 mn=0
  for ((i = 0; i < runs; i++)); do
    read -r s1 k1 < <(run 1 "$name" "$work/jobs-$name-1.out")
    read -r sn kn < <(run "$jobs" "$name" "$work/jobs-$name-n.out")
    speedups+=("$(echo "$s1 $sn" | mawk '{ printf "%.2f", ($2 > 0 ? $1 / $2 : 0) }')")
    sa=$(apart "$name")
    ceilings+=("$(echo "$s1 $sa $jobs" | mawk '{ printf "%.2f", ($2 > 0 ? $3 * $1 / $2 : 0) }')")
    t1=$(echo "$t1 $s1" | mawk '{ print $1 + $2 }')
    tn=$(echo "$tn $sn" | mawk '{ print $1 + $2 }')
    [ "$k1" -gt "$m1" ] && m1=$k1
    [ "$kn" -gt "$mn" ] && mn=$kn
  done
  same=yes
  if [ "$null" -eq 1 ]; then
    "$rux" -j 1 -o "$work/jobs-$name-1.out" "$work/jobs-$name.prm" >/dev/null
    "$rux" -j "$jobs" -o "$work/jobs-$name-n.out" "$work/jobs-$name.prm" >/dev/null
  fi
  cmp -s "$work/jobs-$name-1.out" "$work/jobs-$name-n.out" || same=NO
  median=$(printf '%s\n' "${speedups[@]}" | sort -g | mawk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  ceiling=$(printf '%s\n' "${ceilings[@]}" | sort -g | mawk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  printf '%-12s %8.3f %8.3f %8s %8s %10.1f %10.1f %s\n' "$name" "$(echo "$t1 $runs" | mawk '{ print $1 / $2 }')" \
    "$(echo "$tn $runs" | mawk '{ print $1 / $2 }')" "$median" "$ceiling" "$(echo "$m1" | mawk '{ print $1 / 1024 }')" \
    "$(echo "$mn" | mawk '{ print $1 / 1024 }')" "$same"
  rm -f "$work/jobs-$name-1.out" "$work/jobs-$name-n.out"
done
