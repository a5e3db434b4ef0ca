# Standard input to standard output: the records on standard output, the
# summary line, named "-", on standard error.
cat in.txt | "$1" -i - -o - job.prm
