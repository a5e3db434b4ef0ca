# Started with standard input closed, "-i -" has nothing to read: 92, not an
# empty input that succeeds.
exec "$1" -i - -o out.txt param.txt <&-
