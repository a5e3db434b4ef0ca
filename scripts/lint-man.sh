#!/usr/bin/env bash
# Lints the manual page (docs/rux.1, or the pages given) and fails on any
# message: mandoc -Tlint down to its style level, and groff with every
# warning on, rendering as man(1) does on a UTF-8 terminal. The page must be
# ASCII, because groff reads it without a preprocessor; write any other
# character as \[uXXXX]. To edit Japanese text readably, turn the escapes
# into UTF-8 and back:
#   perl -CSD -pe 's/\\\[u([0-9A-F]{4})\]/chr(hex($1))/ge' docs/rux.1 >rux.1.utf8
#   perl -CSD -pe 's/([^\x00-\x7f])/sprintf("\\[u%04X]", ord $1)/ge' rux.1.utf8 >docs/rux.1
# Installs mandoc and groff first when they are missing.
#   bash scripts/lint-man.sh [page...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh man
[ $# -gt 0 ] || set -- docs/rux.1

fail=0
report() {  # report <page> <what> <status> <output>
  if [ "$3" -ne 0 ] || [ -n "$4" ]; then
    echo "lint-man: $1: $2 (status $3):"
    [ -z "$4" ] || printf '%s\n' "$4"
    fail=1
  fi
}
for page in "$@"; do
  before=$fail
  status=0
  out=$(LC_ALL=C grep -n '[^[:print:][:blank:]]' -- "$page") || true
  [ -z "$out" ] || status=1
  report "$page" "characters other than printable ASCII" "$status" "$out"
  status=0
  out=$(mandoc -Tlint -W style -- "$page" 2>&1) || status=$?
  report "$page" "mandoc -Tlint -W style" "$status" "$out"
  status=0
  out=$(groff -ww -man -Tutf8 -- "$page" 2>&1 >/dev/null) || status=$?
  report "$page" "groff -ww -man -Tutf8" "$status" "$out"
  [ $fail -ne $before ] || echo "lint-man: $page: clean"
done
exit $fail
