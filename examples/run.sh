#!/usr/bin/env bash
# Runs every shipped example conversion with a built program and checks its
# results: examples/run.sh [rux-binary]   (default: build/rux, built if missing)
#
# Each example folder holds a parameter file (param.txt), its input files and
# expected/ (the console output in expected/stdout, the output files under
# their own names). The example runs in a temporary copy, so the repository
# stays clean; its console output is shown converted for reading.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rux=${1:-$here/../build/rux}
if [ ! -x "$rux" ]; then
  bash "$here/../scripts/build.sh"
fi
rux=$(realpath -- "$rux")

status=0
for example in "$here"/*/; do
  example=${example%/}
  name=$(basename -- "$example")
  work=$(mktemp -d)
  trap 'rm -rf -- "$work"' EXIT
  for item in "$example"/*; do
    [ "$(basename -- "$item")" = expected ] || cp -a -- "$item" "$work"/
  done
  mkdir -p "$work/out"
  echo "== $name"
  (cd "$work" && "$rux" param.txt </dev/null >"$work/console.txt") || true
  iconv -f CP932 -t UTF-8 <"$work/console.txt" || cat "$work/console.txt"

  ok=1
  cmp -s -- "$example/expected/stdout" "$work/console.txt" || { ok=0; echo "   console output differs"; }
  while IFS= read -r -d '' file; do
    rel=${file#"$example/expected/"}
    [ "$rel" = stdout ] && continue
    if cmp -s -- "$file" "$work/$rel"; then
      echo "   $rel: as expected"
    else
      ok=0
      echo "   $rel: differs"
    fi
  done < <(find "$example/expected" -type f -print0 | sort -z)
  [ $ok -eq 1 ] || status=1
  rm -rf -- "$work"
  trap - EXIT
done
exit $status
