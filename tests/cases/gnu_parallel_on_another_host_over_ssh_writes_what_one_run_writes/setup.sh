# Fixed-width records of 39 columns: category (1-2), id (4-9), a name of
# half- and full-width characters padded to 20 columns (11-30) and an
# amount (32-39). The names hold ア and ソ (second byte "A" and "\" in code
# page 932) and 表 (second byte "\"). Made in code page 932, where a
# character's bytes are its columns, so printf pads by columns; the UTF-8
# twin comes from iconv.
export LC_ALL=C
names=()
for name in 'ｱﾝｺｰﾙ表計算ｿﾌﾄ' 'アイス ソーダ' '大阪 表具店' 'apple 薬局' 'ﾃｽﾄ ﾃﾞｰﾀ'; do
  names+=("$(printf '%s' "$name" | iconv -f UTF-8 -t CP932)")
done
categories=(01 02 03 02)
record() {  # n line-end
  printf '%s %06d %-20s %08d%s' "${categories[$(($1 % 4))]}" "$1" \
    "${names[$(($1 % 5))]}" "$(($1 * 37313 % 200000))" "$2"
}
records() {  # first last
  local n
  for ((n = $1; n <= $2; n++)); do record "$n" $'\r\n'; done
}

# Three files for the files sent over: one empty, one whose last line has
# no line end.
mkdir in
records 1 12 >in/A.TXT
: >in/B.TXT
{ records 13 23; record 24 ''; } >in/C.TXT

# About 4,000 bytes of UTF-8 for the filter: some four blocks of 1,000
# (every block is a login of its own there).
records 1 80 | iconv -f CP932 -t UTF-8 >utf8.txt
