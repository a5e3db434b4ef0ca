#!/bin/bash
# Builds the whole-run fuzzing harness, replays every earlier finding kept in
# tests/fuzz/findings, seeds the corpus from the end-to-end cases and examples
# and fuzzes. Exits non-zero on any finding (crash, sanitizer report, leak,
# timeout or memory limit); the input that caused it is left as
# build-fuzz/crash-*. Prints the executions per second.
#
#   bash tests/fuzz/run.sh [--seed S] [--runs N] [SECONDS]
#
# SECONDS (default 120) bounds the time. With --seed and --runs the inputs
# tried are the same in every run, so a gate built on it passes or fails for
# the code, not for the luck of the draw; without them each run explores
# somewhere new. A seeded run also turns off libFuzzer's corpus reloading
# (timed), its use of traced comparisons and address randomization (both let
# where things lie in memory steer the mutations), which would otherwise make
# two runs of one seed drift apart.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=120
extra=()
runner=()
while [ $# -gt 0 ]; do
  case $1 in
    --seed)
      extra+=("-seed=$2" -reload=0 -use_cmp=0)
      setarch -R true 2>/dev/null && runner=(setarch -R)
      shift 2 ;;
    --runs) extra+=("-runs=$2"); shift 2 ;;
    *) seconds=$1; shift ;;
  esac
done
bash tests/fuzz/build.sh >/dev/null
corpus=build-fuzz/corpus
bash tests/fuzz/seed.sh "$corpus" >/dev/null
findings=$(ls tests/fuzz/findings/* 2>/dev/null || true)
cd build-fuzz
log=$(mktemp)
trap 'rm -f "$log"' EXIT
options=(-max_len=4096 -rss_limit_mb=2048 -timeout=10 -artifact_prefix=./crash-)
if [ -n "$findings" ]; then
  # Without a corpus folder libFuzzer runs each named input once.
  if ! ./fuzz_run "${options[@]}" $(printf '../%s ' $findings) >"$log" 2>&1; then
    echo "fuzz: an earlier finding fails again:"
    grep -E "Running|ERROR|SUMMARY" "$log" | head -n 20
    exit 1
  fi
  echo "fuzz: $(echo "$findings" | wc -l) earlier findings replayed"
fi
status=0
"${runner[@]}" ./fuzz_run "${options[@]}" -dict=../tests/fuzz/rux.dict -max_total_time="$seconds" \
    -print_final_stats=1 "${extra[@]}" corpus >"$log" 2>&1 || status=$?
grep -E "DONE|stat::number_of_executed_units|stat::average_exec_per_sec" "$log" || true
if [ "$status" -ne 0 ]; then
  echo "fuzz: finding (status $status):"
  grep -E "ERROR|SUMMARY|Test unit written" "$log" | head -n 20
  exit 1
fi
echo "fuzz: no finding"
