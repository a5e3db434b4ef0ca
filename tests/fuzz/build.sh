#!/bin/bash
# Builds the libFuzzer harness (fuzz_run) through CMake with clang++, libFuzzer,
# ASan and UBSan (the RUX_FUZZ option), in build-fuzz/. Run from anywhere:
#   bash tests/fuzz/build.sh [output-binary]
# Without an argument the harness is build-fuzz/fuzz_run; with one, it is also
# copied there.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/setup.sh clang
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DRUX_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz --target fuzz_run -j"$(nproc)"
if [ $# -ge 1 ] && [ "$(realpath -m -- "$1")" != "$(realpath build-fuzz/fuzz_run)" ]; then
  mkdir -p "$(dirname -- "$1")"
  cp -- build-fuzz/fuzz_run "$1"
fi
echo "built ${1:-build-fuzz/fuzz_run}"
