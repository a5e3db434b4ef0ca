# The recipes of the manual page, run with GNU parallel, write the same
# bytes as one plain run of the same job: (a) many files, one rux each,
# against folder mode; (b) one file cut into blocks of about 1,000 bytes on line ends, one
# rux per block, against a run over the whole file.
case $(parallel --version 2>/dev/null </dev/null | head -n 1) in
  "GNU parallel"*) ;;
  *)
    echo "GNU parallel is not installed (bash scripts/setup.sh installs it)" >&2
    exit 77
    ;;
esac
# The recipes call "rux" by name. parallel keeps its state in the work
# folder, never in $HOME, and --will-cite keeps it from asking for a citation.
export LC_ALL=C
mkdir bin parallel-home
ln -s "$1" bin/rux
export PATH="$PWD/bin:$PATH"
export PARALLEL_HOME="$PWD/parallel-home"
# The start of a summary line, 入力ﾌｧｲﾙ: in code page 932 (parallel may add
# warnings of its own, such as one for an unset HOME).
summary=$'\x93\xfc\x97\xcd\xcc\xa7\xb2\xd9:'

# (a) Many files.
mkdir out out2
rux job.prm >folder.log
echo "folder mode: status $?"
parallel --will-cite rux -i {} -o out/{/} job.prm ::: in/*.TXT >many.log 2>many.err
echo "parallel, many files: status $?, $(grep -c "^$summary" many.log) summary lines"
echo "outputs: $(cd out && echo *)"
if diff -r out2 out >/dev/null; then
  echo "many files: same bytes"
else
  echo "many files: different bytes:"
  diff -r out2 out 2>&1 | head -n 5
fi

# (b) One big file.
rux -i big.txt -o plain.txt job.prm >plain.log
echo "plain run: status $?, $(wc -c <plain.txt) bytes"
parallel --will-cite --pipe --block 1k -k rux -i - -o - job.prm <big.txt >piped.txt 2>piped.log
status=$?
blocks=$(grep -c "^$summary-" piped.log)
[ "$blocks" -gt 10 ] && blocks="more than ten"
echo "parallel --pipe: status $status, $blocks blocks"
if cmp -s plain.txt piped.txt; then
  echo "one big file: same bytes"
else
  echo "one big file: different bytes: $(cmp plain.txt piped.txt 2>&1 | head -n 1)"
fi
