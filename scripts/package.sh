#!/usr/bin/env bash
# Builds the Debian package from build/ (or the folder given; built first when
# needed) and checks it: its name and version, the files it ships, the manual
# page, and that the program it holds runs, under both names, the help and the
# shipped examples.
#   bash scripts/package.sh [build-folder]
# The package is left in <build-folder>/package/.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
bash scripts/build.sh "$dir"
rm -rf "$dir/package"
mkdir -p "$dir/package"
cpack --config "$dir/CPackConfig.cmake" -B "$(realpath "$dir/package")" >"$dir/package/cpack.log" 2>&1 ||
  { cat "$dir/package/cpack.log" >&2; exit 1; }
debs=("$dir"/package/rux_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package: expected one rux_*.deb in $dir/package" >&2; exit 1; }
deb=${debs[0]}
version=$(sed -n 's/^#define RUX_VERSION "\(.*\)"$/\1/p' "$dir/generated/RuxVersion.h")

fail=0
check() {  # check <what> <command...>
  local what=$1
  shift
  if "$@"; then echo "   ok: $what"; else echo "   FAILED: $what"; fail=1; fi
}
echo "== $(basename "$deb")"
check "package rux" test "$(dpkg-deb -f "$deb" Package)" = rux
check "version $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
check "Depends given" test -n "$(dpkg-deb -f "$deb" Depends)"
listing=$(dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
for path in ./usr/bin/rux "./usr/bin/RUX -> rux" ./usr/share/doc/rux/README.md \
            ./usr/share/doc/rux/examples/run.sh ./usr/share/doc/rux/examples/edit/param.txt \
            ./usr/share/doc/rux/examples/edit/expected/stdout \
            ./usr/share/man/man1/rux.1.gz "./usr/share/man/man1/RUX.1.gz -> rux.1.gz"; do
  check "ships $path" grep -qxF -- "$path" <<<"$listing"
done

scratch=$(mktemp -d)
trap 'rm -rf -- "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
shows_help() {  # the help without arguments, Enter read from /dev/null: status 0
  "$scratch/usr/bin/RUX" </dev/null >"$scratch/help.txt" && [ "$(head -c 15 "$scratch/help.txt")" = "RUX Version 1.0" ]
}
check "RUX without arguments shows the help and exits 0" shows_help
man_page_is_docs_rux_1() {  # gzip -9n: no name or time stamp, and the page as written
  local page=$scratch/usr/share/man/man1/rux.1.gz
  [ "$(od -An -tu1 -j3 -N5 "$page" | tr -s ' ')" = " 0 0 0 0 0" ] && zcat "$page" | cmp -s - docs/rux.1
}
check "the manual page is docs/rux.1, compressed without name or time stamp" man_page_is_docs_rux_1
check "rux runs the shipped examples as expected" \
  bash -c 'bash "$1" "$2" >"$3" 2>&1' _ "$scratch/usr/share/doc/rux/examples/run.sh" \
       "$scratch/usr/bin/rux" "$scratch/examples.log"
[ $fail -eq 0 ] || { cat "$scratch/examples.log" 2>/dev/null; exit 1; }
echo "Package checks passed."
