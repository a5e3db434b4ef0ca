#!/bin/bash
# Builds the whole-run fuzzing harness, seeds its corpus from the end-to-end
# cases and examples, and fuzzes for the given number of seconds (default
# 120). Exits non-zero on any finding (crash, sanitizer report, leak,
# timeout or memory limit); the input that caused it is left as
# build-fuzz/crash-*. Prints the executions per second and the coverage.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-120}
bash tests/fuzz/build.sh >/dev/null
corpus=build-fuzz/corpus
bash tests/fuzz/seed.sh "$corpus" >/dev/null
cd build-fuzz
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
./fuzz_run -max_len=4096 -rss_limit_mb=2048 -timeout=10 -dict=../tests/fuzz/rux.dict \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=./crash- corpus \
    >"$log" 2>&1 || status=$?
grep -E "DONE|stat::number_of_executed_units|stat::average_exec_per_sec" "$log" || true
if [ "$status" -ne 0 ]; then
  echo "fuzz: finding (status $status):"
  grep -E "ERROR|SUMMARY|Test unit written" "$log" | head -n 20
  exit 1
fi
echo "fuzz: no finding in ${seconds}s"
