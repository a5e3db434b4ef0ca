#!/usr/bin/env bash
# Builds and runs every test: the unit tests and the end-to-end cases that run
# the real binary on real files.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
bash scripts/build.sh "$dir" "$@"
# RUX_CTEST_EXCLUDE: a ctest -E pattern of tests another build already ran
# (CI runs the byte-comparing differential runners in one build only).
if [ -n "${RUX_CTEST_EXCLUDE:-}" ]; then
  ctest --test-dir "$dir" --output-on-failure -E "$RUX_CTEST_EXCLUDE"
else
  ctest --test-dir "$dir" --output-on-failure
fi
