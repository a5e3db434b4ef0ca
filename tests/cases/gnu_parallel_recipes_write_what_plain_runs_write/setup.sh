# Code page 932 records of five kinds (CR LF and LF line ends, a lone CR,
# 薬局 and 大阪 in Shift-JIS bytes), some selected, some changed.
record() {
  case $(($1 % 5)) in
    0) printf '01 apple %05d\r\n' "$1" ;;
    1) printf '02 a apple \x96\xf2\x8b\xc7 %05d\r\n' "$1" ;;
    2) printf '03 not selected %05d\n' "$1" ;;
    3) printf '01 b apple\rlone CR %05d\n' "$1" ;;
    4) printf '02 \x91\xe5\x8d\xe3 %05d\r\n' "$1" ;;
  esac
}
records() {  # first last
  local n
  for ((n = $1; n <= $2; n++)); do record "$n"; done
}
long_line() {  # a selected record of 3,000 bytes, longer than a --pipe block
  printf '01 a apple '
  head -c 2989 /dev/zero | tr '\0' 'z'
  printf '\r\n'
}

# Many files: one empty, one with the long line, one whose last line has no
# line end.
mkdir in
records 1 40 >in/A.TXT
: >in/B.TXT
{ records 41 60; long_line; records 61 80; } >in/C.TXT
{ records 81 99; printf '01 apple, no line end'; } >in/D.TXT

# One big file of about 20 KB: some twenty blocks of 1,000 bytes. The long
# line comes late: parallel makes every block after it larger.
{ records 1 700; long_line; records 701 760; printf '01 apple, no line end'; } >big.txt
