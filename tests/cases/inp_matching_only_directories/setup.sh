mkdir -p in/a.txt in/b.txt
