#!/bin/bash
# Fills a corpus folder (default build-fuzz/corpus) with one seed per end-to-end
# case and example: its parameter file, 0x00 0x00, and its first input file.
set -euo pipefail
cd "$(dirname "$0")/../.."
corpus=${1:-build-fuzz/corpus}
mkdir -p "$corpus"
for dir in tests/cases/*/ examples/*/; do
  [ -f "$dir/param.txt" ] || continue
  input=$(find "$dir" -type f ! -name param.txt ! -name stdout ! -name status \
            ! -name setup.sh ! -name '*.sh' ! -path '*/expected/*' ! -path '*/out/*' | sort | head -n 1)
  name=$(basename "$dir")
  { cat "$dir/param.txt"; printf '\0\0'; [ -n "$input" ] && head -c 100000 "$input"; } \
      > "$corpus/seed_$name"
done
ls "$corpus" | wc -l
