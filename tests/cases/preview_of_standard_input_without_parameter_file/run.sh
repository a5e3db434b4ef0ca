# "-i -": the records of standard input, named "-".
exec "$1" --preview -i - < in.txt
