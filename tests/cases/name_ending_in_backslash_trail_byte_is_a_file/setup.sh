printf "\x83\x41\n" > 表示.txt
