#!/usr/bin/env bash
# The preview on a real terminal. tmux, in a UTF-8 locale, runs
# "rux --preview" in a pane exactly wide enough to end at the last byte of
# one character of the record; the screen, read back with capture-pane,
# must break the record's row (and the output row of EDIT) right after that
# character. Done for every character of a record with double-byte
# characters (one whose second byte is "A", one whose second byte is "\"),
# ambiguous-width ones (drawn one column wide and padded by rux) and
# half-width katakana, this checks that each character stands on the screen
# at the column of its byte position, where the ruler says it is.
#
#   preview_on_tmux.sh <rux-binary>
#
# Installs tmux when it is missing; exits 77 (skipped) only when it cannot.
set -u
rux=$(realpath -- "$1")

if ! command -v tmux >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  if [ "$(id -u)" -eq 0 ]; then
    { apt-get update -qq && apt-get install -y -qq tmux; } >/dev/null 2>&1 </dev/null
  elif sudo -n true 2>/dev/null; then
    { sudo -n apt-get update -qq && sudo -n apt-get install -y -qq tmux; } >/dev/null 2>&1 </dev/null
  fi
  if ! command -v tmux >/dev/null 2>&1; then
    echo "preview_on_tmux: tmux is missing and cannot be installed here" >&2
    exit 77
  fi
fi

work=$(mktemp -d)
socket="rux-preview-$$"
cleanup() {
  tmux -L "$socket" kill-server >/dev/null 2>&1
  rm -rf -- "$work"
}
trap cleanup EXIT

# The record and its characters as they stand on the screen: each with the
# byte position it ends at (ア 0x83 0x41, 表 0x95 0x5C, ○ and α of ambiguous
# width, ｶ one byte).
record='ア表○xαｶ東y'
chars=(ア 表 ○ x α ｶ 東 y)
ends=(2 4 6 7 9 10 12 13)
printf 'INP = in.txt\nOUT = out.txt\nFUNCTION = EDIT\nSEL = "y"\nEDT = 1,13,A,=,1,13,A\n' \
  >"$work/param.txt"
printf '%s\n' "$record" | iconv -f UTF-8 -t CP932 >"$work/in.txt"
margin=10  # "  record  ", "  output  "

# The screen of the preview in a pane `width` columns wide.
screen() {
  local width=$1 i
  rm -f -- "$work/done"
  env -u NO_COLOR LC_ALL=C.UTF-8 LANG=C.UTF-8 tmux -u -L "$socket" -f /dev/null \
    new-session -d -x "$width" -y 60 -c "$work" \
    "'$rux' --preview param.txt; touch done; sleep 30"
  for ((i = 0; i < 100; i++)); do
    [ -e "$work/done" ] && break
    sleep 0.1
  done
  tmux -L "$socket" capture-pane -p -t 0
  tmux -L "$socket" kill-server >/dev/null 2>&1
}

failed=0
# check <screen> <label> <char> <next>: the row of <label> breaks right
# after <char>, and its next screen row starts with <next>.
check() {
  local shown=$1 label=$2 char=$3 next=$4 first rest
  first=$(printf '%s\n' "$shown" | grep -m1 -A1 "^  $label  ")
  rest=$(printf '%s\n' "$first" | sed -n 2p)
  first=$(printf '%s\n' "$first" | sed -n 1p | sed 's/ *$//')
  if [[ $first != *"$char" ]] || [[ $rest != "$next"* ]]; then
    echo "FAIL: $label row at width $width: expected a break after '$char' before '$next'"
    echo "  first row: '$first'"
    echo "  next row:  '$rest'"
    failed=1
  fi
}

for ((k = 0; k < ${#chars[@]} - 1; k++)); do
  width=$((margin + ends[k]))
  shown=$(screen "$width")
  if [ -z "$shown" ]; then
    echo "FAIL: no screen captured at width $width"
    failed=1
    continue
  fi
  check "$shown" record "${chars[k]}" "${chars[k + 1]}"
  check "$shown" output "${chars[k]}" "${chars[k + 1]}"
  # The ruler's units row breaks at the same column.
  units=$(printf '%s\n' "$shown" | grep -m1 -E '^ {10}12' | sed 's/ *$//')
  if [[ $units != *"$((ends[k] % 10))" ]]; then
    echo "FAIL: ruler at width $width ends '$units'"
    failed=1
  fi
done

if [ $failed -ne 0 ]; then
  echo "the whole screen at width 200:"
  screen 200 | sed "/^$/d"
  exit 1
fi
echo "preview_on_tmux: every character at the column of its byte position"
