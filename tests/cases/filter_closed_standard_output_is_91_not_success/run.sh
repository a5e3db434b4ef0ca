# Started with standard output closed, "-o -" has nowhere to write: 91, never
# records thrown away and status 0.
exec "$1" -i in.txt -o - param.txt >&-
