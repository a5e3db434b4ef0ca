#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given), installing
# prerequisites first. Extra arguments go to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
