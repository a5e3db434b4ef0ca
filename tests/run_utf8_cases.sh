#!/usr/bin/env bash
# Runs every end-to-end case whose data survives code page 932 -> UTF-8 ->
# code page 932 unchanged again on its UTF-8 twin, with the same parameter
# file, in three modes, and checks that the run does what it did on code
# page 932 data:
#   input   --input-encoding=utf-8: inputs in UTF-8, outputs the expected bytes
#   output  --output-encoding=utf-8: inputs as they are, outputs the UTF-8 form
#   both    --encoding=utf-8: inputs in UTF-8, outputs the UTF-8 form
# Standard output, standard error and the exit status must be those of the
# case: the console lines do not depend on the data's encoding.
#
#   run_utf8_cases.sh <rux-binary> <cases-dir>
#
# Left out: cases run through run.sh or setup.sh (their files are made or
# held by scripts), cases that are not a plain run (help, version, check) or
# choose encodings themselves, and cases whose data or expected output has
# no UTF-8 twin that converts back to the same bytes (NEC-selected kanji,
# half characters, stray bytes), or has a line near the 99,999-byte piece
# length with non-ASCII characters (its UTF-8 twin is cut elsewhere).
set -u
export LC_ALL=C

rux=$(realpath -- "$1")
cases=$(realpath -- "$2")
source "$(dirname -- "$0")/case_files.sh"
compared=0
failed=0
scratch=$(mktemp -d)
trap 'rm -rf -- "$scratch"' EXIT

# twin FILE: true when FILE converts to UTF-8 and back unchanged, and has no
# long line with non-ASCII bytes; the UTF-8 form in FILE.utf8.
twin() {
  iconv -f CP932 -t UTF-8 <"$1" >"$1.utf8" 2>/dev/null || return 1
  iconv -f UTF-8 -t CP932 <"$1.utf8" 2>/dev/null | cmp -s - "$1" || return 1
  cmp -s "$1" "$1.utf8" && return 0  # ASCII: the same bytes
  ! awk 'length($0) > 33000 { found = 1 } END { exit !found }' "$1"
}

# prepare CASE-DIR WORK MODE: the case's files in WORK, in the mode's
# encodings; false when a file has no twin. Outputs that exist before the
# run (ADD) are outputs: they take the output's encoding.
prepare() {
  local dir=$1 work=$2 mode=$3 file rel
  copy_case_files "$dir" "$work"
  while IFS= read -r -d '' file; do
    rel=${file#"$work/"}
    case $rel in param.txt | *.prm) continue ;; esac
    twin "$file" || return 1
    if [ -f "$dir/expected/$rel" ]; then
      [ "$mode" != input ] && mv -- "$file.utf8" "$file"
    else
      [ "$mode" != output ] && mv -- "$file.utf8" "$file"
    fi
    rm -f -- "$file.utf8"
  done < <(find "$work" -type f -print0)
  return 0
}

for dir in "$cases"/*/; do
  dir=${dir%/}
  name=$(basename -- "$dir")
  [ -f "$dir/run.sh" ] || [ -f "$dir/setup.sh" ] && continue
  args=(param.txt)
  [ -f "$dir/args" ] && mapfile -t args <"$dir/args"
  [ ${#args[@]} -eq 0 ] && continue
  case " ${args[*]} " in
    *" -h "* | *" --help "* | *" -V "* | *" --version "* | *" --check "* | *encoding=* | *--newline* | *--bom*) continue ;;
  esac
  for mode in input output both; do
    work=$scratch/work
    rm -rf -- "$scratch"/*
    mkdir -p "$work" "$scratch/expected"
    prepare "$dir" "$work" "$mode" || continue 2
    if [ -d "$dir/expected" ]; then
      cp -a -- "$dir/expected/." "$scratch/expected/"
      if [ "$mode" != input ]; then
        while IFS= read -r -d '' file; do
          twin "$file" || continue 3
          mv -- "$file.utf8" "$file"
        done < <(find "$scratch/expected" -type f -print0)
      fi
    fi
    case $mode in
      input) option=--input-encoding=utf-8 ;;
      output) option=--output-encoding=utf-8 ;;
      both) option=--encoding=utf-8 ;;
    esac
    (cd "$work" && env -u RUX_CONSOLE timeout 120 "$rux" "$option" "${args[@]}" \
        </dev/null >"$scratch/stdout" 2>"$scratch/stderr")
    status=$?
    zero_elapsed_times "$scratch/stdout" "$scratch/stderr"
    problems=()
    expected_status=0
    [ -f "$dir/status" ] && expected_status=$(tr -d ' \r\n' <"$dir/status")
    [ "$status" = "$expected_status" ] || problems+=("status $status, expected $expected_status")
    if [ -f "$dir/stdout" ]; then cmp -s "$dir/stdout" "$scratch/stdout"; else [ ! -s "$scratch/stdout" ]; fi ||
      problems+=("standard output differs")
    if [ -f "$dir/stderr" ]; then cmp -s "$dir/stderr" "$scratch/stderr"; else [ ! -s "$scratch/stderr" ]; fi ||
      problems+=("standard error differs: $(head -c 300 "$scratch/stderr")")
    while IFS= read -r -d '' file; do
      rel=${file#"$scratch/expected/"}
      cmp -s -- "$file" "$work/$rel" || problems+=("$rel differs: $(cmp -- "$file" "$work/$rel" 2>&1 | head -n 1)")
    done < <(find "$scratch/expected" -type f -print0)
    compared=$((compared + 1))
    if [ ${#problems[@]} -gt 0 ]; then
      failed=$((failed + 1))
      echo "FAIL $name ($mode)"
      for p in "${problems[@]}"; do echo "  $p"; done
    fi
  done
done

echo "$compared runs compared, $failed failed"
[ "$failed" -eq 0 ] && [ "$compared" -gt 0 ]
