# out/a.txt, the output of in/a.txt, is a link to in/b.txt, a later input.
ln -s ../in/b.txt out/a.txt
