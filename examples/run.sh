#!/usr/bin/env bash
# Runs every shipped example conversion and checks its results:
#   examples/run.sh [rux-binary]
# Without an argument it first runs scripts/build.sh (incremental; installs
# missing prerequisites), so the examples always run the current code with
# build/rux. With an argument it runs that binary as it is.
#
# Each example folder holds a parameter file (param.txt), its input files and
# expected/ (the console output in expected/stdout, the output files under
# their own names). The example runs in a temporary copy, so the repository
# stays clean; its console output is shown converted for reading.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -ge 1 ]; then
  rux=$1
  [ -x "$rux" ] || { echo "examples/run.sh: $rux is not an executable file" >&2; exit 2; }
else
  bash "$here/../scripts/build.sh"
  rux=$here/../build/rux
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
if [ $status -eq 0 ]; then
  echo "All examples ran as expected."
else
  echo "Some examples did not run as expected (see above)."
fi
exit $status
