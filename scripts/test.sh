#!/usr/bin/env bash
# Builds and runs every test: the unit tests and the end-to-end cases that run
# the real binary on real files.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
bash scripts/build.sh "$dir" "$@"
ctest --test-dir "$dir" --output-on-failure
