# OUT names the file given as standard input: refused before it is emptied.
exec "$1" -i - param.txt <x.txt
