# Two input names with control characters: a line feed, and an escape
# sequence that would clear a terminal. The second file's record fails.
printf '12345678\r\n' >"$(printf 'a\nb.txt')"
printf 'x\r\n' >"$(printf 'a\033[2Jc.txt')"
