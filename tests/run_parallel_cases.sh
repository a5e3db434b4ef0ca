#!/usr/bin/env bash
# Runs every end-to-end case once on one thread and once on four threads
# with tiny blocks, and checks that the two runs write the same bytes:
# standard output, standard error, exit status and every file left in the
# work folder.
#
#   run_parallel_cases.sh <rux-binary> <cases-dir>
#
# Cases that run through run.sh, and those whose arguments are not a run
# (help, version, check), are left out. The summary line's elapsed time is
# read as 00:00, as in run_cases.sh.
set -u
export LC_ALL=C

rux=$(realpath -- "$1")
cases=$(realpath -- "$2")
source "$(dirname -- "$0")/case_files.sh"
compared=0
differ=0
scratch=$(mktemp -d)
trap 'rm -rf -- "$scratch"' EXIT

# run_once CASE-DIR OUT-DIR EXTRA-OPTIONS...: the case's files in OUT-DIR/work,
# its outputs in OUT-DIR.
run_once() {
  local dir=$1 out=$2
  shift 2
  mkdir -p "$out/work"
  copy_case_files "$dir" "$out/work"
  [ -f "$dir/setup.sh" ] && (cd "$out/work" && bash "$dir/setup.sh") >/dev/null 2>&1
  (cd "$out/work" && env -u RUX_CONSOLE timeout 120 "$rux" "$@" "${args[@]}" \
      </dev/null >"$out/stdout" 2>"$out/stderr")
  echo $? >"$out/status"
  zero_elapsed_times "$out/stdout" "$out/stderr"
}

for dir in "$cases"/*/; do
  dir=${dir%/}
  name=$(basename -- "$dir")
  [ -f "$dir/run.sh" ] && continue
  args=(param.txt)
  [ -f "$dir/args" ] && mapfile -t args <"$dir/args"
  [ ${#args[@]} -eq 0 ] && continue
  case ${args[0]} in -h | --help | -V | --version | --check) continue ;; esac
  rm -rf -- "$scratch"/*
  run_once "$dir" "$scratch/one" -j 1
  run_once "$dir" "$scratch/four" -j 4 --block-size=1
  compared=$((compared + 1))
  if ! diff -r -- "$scratch/one" "$scratch/four" >"$scratch/diff" 2>&1; then
    differ=$((differ + 1))
    echo "DIFFER $name"
    head -n 20 "$scratch/diff"
  fi
done

echo "$compared cases compared, $differ differ"
[ "$differ" -eq 0 ] && [ "$compared" -gt 0 ]
