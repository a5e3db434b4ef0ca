# Standard input is the file -o names: refused before the output is
# emptied, so the file keeps every byte.
exec "$1" -i - -o x.txt param.txt <x.txt
