#!/usr/bin/env bash
# Throughput of rux against common tools doing the same job on the same file.
# Each benchmark runs rux and the reference tool alternately, RUNS times, and
# prints the median of the paired time ratios rux/tool (below 1: rux faster).
#
#   bash bench/run.sh [--size MB] [--runs N] [--rux PATH] [--jobs N] [name ...]
#
# --rux measures that binary instead of building build/rux (to compare two
# versions on the same corpus in the same conditions); --jobs passes -j N.
#
# Names: copy sel-search sel-numeric edit nar wid change csv (default: all).
# The corpus (bench/data/corpus-<MB>.txt) is generated once, deterministically.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

size=50
runs=5
rux=
jobs=()
names=()
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --rux) rux=$(realpath -- "$2"); shift 2 ;;
    --jobs) jobs=(-j "$2"); shift 2 ;;
    *) names+=("$1"); shift ;;
  esac
done
[ ${#names[@]} -eq 0 ] && names=(copy sel-search sel-numeric edit nar wid change csv)

# Reference tools.
missing=()
command -v mawk >/dev/null || missing+=(mawk)
command -v nkf >/dev/null || missing+=(nkf)
command -v iconv >/dev/null || missing+=(libc-bin)
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null
fi

source bench/corpus.sh

sj() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# Parameter file for rux: lines given in UTF-8, written in code page 932.
param() {
  local name=$1; shift
  { printf 'INP = %s\nOUT = %s\n' "$corpus" "$work/rux-$name.out"; printf '%s\n' "$@"; } |
    iconv -f UTF-8 -t CP932 >"$work/$name.prm"
}

now() { date +%s%N; }

# bench NAME TARGET-TEXT REFERENCE-COMMAND
bench() {
  local name=$1 target=$2 ref=$3 i t0 t1 t2 ratios=() rt=0 tt=0
  for ((i = 0; i < runs; i++)); do
    t0=$(now)
    "$rux" "${jobs[@]}" "$work/$name.prm" >"$work/rux-$name.log" || { echo "$name: rux failed"; cat "$work/rux-$name.log"; return 1; }
    t1=$(now)
    bash -c "$ref" >/dev/null
    t2=$(now)
    ratios+=("$(echo "$((t1 - t0)) $((t2 - t1))" | mawk '{ printf "%.3f", $1 / $2 }')")
    rt=$((rt + t1 - t0))
    tt=$((tt + t2 - t1))
  done
  local median
  median=$(printf '%s\n' "${ratios[@]}" | sort -g | mawk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  printf '%-12s %9.3f %9.3f %8s   %s\n' "$name" "$(echo "$rt $runs" | mawk '{ print $1 / $2 / 1e9 }')" \
    "$(echo "$tt $runs" | mawk '{ print $1 / $2 / 1e9 }')" "$median" "$target"
}

tokyo=$(sj 東京)
printf 'corpus %s (%s bytes), %s runs each\n' "$corpus" "$(stat -c %s "$corpus")" "$runs"
printf '%-12s %9s %9s %8s   %s\n' benchmark "rux s" "tool s" rux/tool "target (reference tool)"
for name in "${names[@]}"; do
  case $name in
    copy)
      param copy
      bench copy "<= 1.5 (cat)" "cat '$corpus' > '$work/ref-copy.out'" ;;
    sel-search)
      param sel-search 'SEL = "東京"'
      bench sel-search "<= 3 (LC_ALL=C grep -F)" "LC_ALL=C grep -F '$tokyo' '$corpus' > '$work/ref-sel-search.out'" ;;
    sel-numeric)
      param sel-numeric 'SEL = 49,5,N,>,"50000"'
      bench sel-numeric "<= 0.33 (mawk)" "mawk 'substr(\$0,49,5)+0 > 50000' '$corpus' > '$work/ref-sel-numeric.out'" ;;
    edit)
      param edit 'FUNCTION = EDIT' 'EDT = 1,8,A,=,1,8,A' 'EDT = 9,20,A,=,9,20,A' 'EDT = 29,8,A,=,29,8,A' \
        'EDT = 37,12,N+0.2,=,37,10,N' 'EDT = 49,3,A,=,"JPY"'
      bench edit "<= 0.25 (mawk)" "mawk '{ printf \"%s%s%s%+012.2f%s\\r\\n\", substr(\$0,1,8), substr(\$0,9,20), substr(\$0,29,8), substr(\$0,37,10)+0, \"JPY\" }' '$corpus' > '$work/ref-edit.out'" ;;
    nar)
      param nar 'FUNCTION = EDIT' 'NAR = 1,40,A,=,55,40,A'
      bench nar "<= 0.2 (nkf)" "nkf --ic=CP932 --oc=CP932 -Z4 '$corpus' > '$work/ref-nar.out'" ;;
    wid)
      param wid 'FUNCTION = EDIT' 'WID = 1,80,A,=,55,40,A'
      bench wid "<= 0.2 (nkf)" "nkf --ic=CP932 --oc=CP932 -X '$corpus' > '$work/ref-wid.out'" ;;
    change)
      param change 'FUNCTION = CHANGE' 'EDT = "東京","TOKYO"' 'EDT = "A","a"'
      bench change "<= 0.5 (LC_ALL=C sed)" "LC_ALL=C sed 's/$tokyo/TOKYO/g; s/A/a/g' '$corpus' > '$work/ref-change.out'" ;;
    csv)
      param csv 'FUNCTION = CSV' 'EDT = 1,8,A' 'EDT = 55,30,AT' 'EDT = 37,10,N'
      bench csv "<= 0.33 (mawk)" "mawk 'BEGIN { OFS = \"\\t\"; ORS = \"\\r\\n\" } { t = substr(\$0,55,30); sub(/^ +/, \"\", t); sub(/ +\$/, \"\", t); print substr(\$0,1,8), t, sprintf(\"%f\", substr(\$0,37,10)) }' '$corpus' > '$work/ref-csv.out'" ;;
    *) echo "unknown benchmark: $name" >&2; exit 2 ;;
  esac
done
