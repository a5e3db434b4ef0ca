ln -s data.txt link.txt
