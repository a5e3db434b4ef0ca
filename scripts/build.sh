#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given), installing
# prerequisites first, with warnings as errors. Extra arguments go to cmake's
# configure step (e.g. -DCMAKE_CXX_COMPILER=clang++).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DRUX_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
