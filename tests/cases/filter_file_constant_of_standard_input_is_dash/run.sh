# Standard input is the input file "-", and so is [FILE]: in values, in a
# search (records holding "-") and in a comparison (not starting with "-").
exec "$1" -i - -o - job.prm <in.txt
