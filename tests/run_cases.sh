#!/usr/bin/env bash
# Runs the end-to-end cases against a built binary:
#
#   run_cases.sh <rux-binary> <cases-dir>
#
# Every folder under <cases-dir> is one case, run in name order. Its files,
# apart from the control files below, are copied to a fresh temporary work
# folder, where the optional setup.sh runs (with bash), then the binary runs
# with standard input from /dev/null and RUX_CONSOLE unset.
#
#   param.txt  the parameter file; the binary gets "param.txt" as its argument
#   args       optional: the arguments instead, one per line (empty: none)
#   setup.sh   optional: prepares the work folder (file names, locks, ...)
#   run.sh     optional: runs instead of the binary (with bash, the binary's
#              path as $1), for what arguments cannot say: closed descriptors,
#              pipes, limits. Exit status 77 skips the case (reported SKIP).
#   stdout     the exact standard output bytes (empty when absent)
#   stderr     optional: the exact standard error bytes (absent: it must be empty)
#   status     the exit status (0 when absent)
#   expected/  files that must exist afterwards in the work folder, byte for byte
#
# Needs bash and coreutils (plus cmp, which every Debian system has).
set -u
export LC_ALL=C

if [ $# -ne 2 ]; then
  echo "usage: $0 <rux-binary> <cases-dir>" >&2
  exit 2
fi
rux=$(realpath -- "$1")
cases=$(realpath -- "$2")
if [ ! -x "$rux" ]; then
  echo "run_cases: $1 is not an executable" >&2
  exit 2
fi

source "$(dirname -- "$0")/case_files.sh"

passed=0
failed=0
skipped=0
scratch=$(mktemp -d)
trap 'rm -rf -- "$scratch"' EXIT

# Shows two byte streams so that the difference can be read.
show_bytes() {  # label expected-file actual-file
  echo "  $1 differs: $(cmp -- "$2" "$3" 2>&1 | head -n 1)"
  echo "  --- expected (od -c) ---"
  od -c -- "$2" | head -n 40 | sed 's/^/  /'
  echo "  --- actual (od -c) ---"
  od -c -- "$3" | head -n 40 | sed 's/^/  /'
}

for dir in "$cases"/*/; do
  [ -d "$dir" ] || continue
  dir=${dir%/}
  name=$(basename -- "$dir")
  work=$(mktemp -d)
  problems=()

  copy_case_files "$dir" "$work"

  args=(param.txt)
  if [ -f "$dir/args" ]; then
    mapfile -t args <"$dir/args"
  fi

  ok=1
  if [ -f "$dir/setup.sh" ]; then
    if ! (cd "$work" && bash "$dir/setup.sh") >"$scratch/setup.log" 2>&1; then
      ok=0
      problems+=("setup.sh failed: $(head -c 2000 "$scratch/setup.log")")
    fi
  fi

  if [ $ok -eq 1 ]; then
    if [ -f "$dir/run.sh" ]; then
      (cd "$work" && env -u RUX_CONSOLE timeout 120 bash "$dir/run.sh" "$rux" </dev/null >"$scratch/stdout" 2>"$scratch/stderr")
    else
      (cd "$work" && env -u RUX_CONSOLE timeout 120 "$rux" "${args[@]}" </dev/null >"$scratch/stdout" 2>"$scratch/stderr")
    fi
    actual_status=$?
    if [ -f "$dir/run.sh" ] && [ "$actual_status" -eq 77 ]; then
      skipped=$((skipped + 1))
      echo "SKIP $name: $(head -c 300 "$scratch/stderr")"
      rm -rf -- "$work"
      continue
    fi

    expected_status=0
    [ -f "$dir/status" ] && expected_status=$(tr -d ' \r\n' <"$dir/status")
    if [ "$actual_status" != "$expected_status" ]; then
      ok=0
      problems+=("exit status $actual_status, expected $expected_status")
    fi

    zero_elapsed_times "$scratch/stdout" "$scratch/stderr"
    if [ -f "$dir/stdout" ]; then cp -- "$dir/stdout" "$scratch/expected_stdout"; else : >"$scratch/expected_stdout"; fi
    if ! cmp -s -- "$scratch/expected_stdout" "$scratch/stdout"; then
      ok=0
      problems+=("$(show_bytes stdout "$scratch/expected_stdout" "$scratch/stdout")")
    fi
    if [ -f "$dir/stderr" ]; then
      if ! cmp -s -- "$dir/stderr" "$scratch/stderr"; then
        ok=0
        problems+=("$(show_bytes stderr "$dir/stderr" "$scratch/stderr")")
      fi
    elif [ -s "$scratch/stderr" ]; then
      # A case without a stderr file expects none: an unexpected warning or
      # diagnostic is a change of behaviour too.
      ok=0
      problems+=("unexpected standard error: $(head -c 500 "$scratch/stderr")")
    fi

    if [ -d "$dir/expected" ]; then
      while IFS= read -r -d '' file; do
        rel=${file#"$dir/expected/"}
        if [ ! -f "$work/$rel" ]; then
          ok=0
          problems+=("missing output file $rel")
        elif ! cmp -s -- "$file" "$work/$rel"; then
          ok=0
          problems+=("$(show_bytes "$rel" "$file" "$work/$rel")")
        fi
      done < <(find "$dir/expected" -type f -print0 | sort -z)
    fi
  fi

  if [ $ok -eq 1 ]; then
    passed=$((passed + 1))
    echo "PASS $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    for p in "${problems[@]}"; do echo "$p"; done
  fi
  rm -rf -- "$work"
done

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
