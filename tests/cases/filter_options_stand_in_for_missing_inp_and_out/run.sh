# Alone, the parameter file lacks INP and OUT (error 15);
# -i and -o supply both.
"$1" job.prm
echo "status $?"
"$1" -i in.txt -o out.txt job.prm
