mkdir in out
printf "1\n2\n" > in/売上.txt
