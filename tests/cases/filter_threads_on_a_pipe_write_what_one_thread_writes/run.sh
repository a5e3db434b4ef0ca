# Standard input from a pipe, cut into blocks for several threads: the same
# bytes and the same summary line ([IN_LINE] counted across blocks) as one
# thread.
cat in.txt | "$1" -i - -o - job.prm >one.txt
echo "one thread: status $?, $(wc -c <one.txt) bytes"
for options in "-j 2 --block-size=1" "-j 4 --block-size=7" "-j 3 --block-size=4096"; do
  # shellcheck disable=SC2086
  cat in.txt | "$1" $options -i - -o - job.prm >many.txt
  status=$?
  if cmp -s one.txt many.txt; then same=same; else same=different; fi
  echo "$options: status $status, $same bytes"
done
