# Two inputs whose names differ only in letter case: on disk they are two
# files, but their outputs would be one file found case-blind.
mkdir in out
printf "UPPER\n" > in/A.TXT
printf "lower\n" > in/a.txt
