# A UTF-8 line of 150,001 bytes: "x" and 50,000 katakana "ア" (three bytes
# each), then a short line. Byte 99,999 falls inside a character.
{ printf 'x'; head -c 50000 /dev/zero | tr '\0' 'a' | sed 's/a/ア/g'; printf '\nend\n'; } > long.txt
