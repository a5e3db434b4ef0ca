mkdir out
printf "stale line\r\nstale line\r\n" > out/b.txt
