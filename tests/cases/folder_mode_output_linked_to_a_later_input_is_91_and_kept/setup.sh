# out/a.txt, the output of in/a.txt, is a link to in/b.txt, a later input.
mkdir -p out
ln -s ../in/b.txt out/a.txt
