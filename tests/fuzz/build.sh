#!/bin/bash
# Builds the libFuzzer harness (tests/fuzz/fuzz_run) with clang++, ASan and
# UBSan. Not part of the CMake build. Run from anywhere:
#   bash tests/fuzz/build.sh [output-binary]
# clang cannot compile the three sources whose Japanese literals are turned
# into code page 932 at compile time (-fexec-charset=CP932), so those are
# compiled with g++ (uninstrumented) and linked in.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=${1:-build-fuzz/fuzz_run}
mkdir -p "$(dirname "$out")"
obj=$(mktemp -d)
trap 'rm -rf "$obj"' EXIT

cp932_sources=(param/ErrorTable.cpp app/HelpText.cpp app/RunDriver.cpp)
for src in "${cp932_sources[@]}"; do
  g++ -std=c++20 -fno-exceptions -fexec-charset=CP932 -I. -O1 -g -c "$src" \
      -o "$obj/$(basename "$src" .cpp).o"
done

sources=()
for dir in app param cond process value platform; do
  for src in "$dir"/*.cpp; do
    case "$src" in
      *_test.cpp|app/main.cpp|param/ErrorTable.cpp|app/HelpText.cpp|app/RunDriver.cpp) ;;
      *) sources+=("$src") ;;
    esac
  done
done

clang++ -std=c++20 -fno-exceptions -I. -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    tests/fuzz/fuzz_run.cpp "${sources[@]}" "$obj"/*.o -o "$out"
echo "built $out"
