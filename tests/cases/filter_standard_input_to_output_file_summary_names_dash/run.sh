# Standard input to a file: the summary line names the input "-" and stays
# on standard output.
exec "$1" -i - -o out.txt job.prm <in.txt
