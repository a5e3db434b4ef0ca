# Started with standard output closed: the output file must not become descriptor 1.
exec "$1" param.txt >&-
