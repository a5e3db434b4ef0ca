# SIGTERM, SIGINT and SIGHUP reach a run that has converted part of its
# standard input and waits for more: on one thread and on four, the run
# stops at a record boundary, writes every record converted so far whole,
# names the last one on standard error, and ends with 128 + the signal.
set -u
set -m     # jobs of their own: a background job of a script ignores SIGINT
record=15  # "record 000001" CR LF
for run in "1 TERM 143" "4 INT 130" "1 HUP 129"; do
  set -- "$1" $run
  jobs=$2 signal=$3 expected=$4
  rm -f feed out.txt err.txt
  mkfifo feed
  "$1" -j "$jobs" --block-size=4096 -i - -o out.txt param.txt <feed 2>err.txt &
  pid=$!
  exec 3>feed
  cat part1.txt >&3
  # Until rux has read all of it (the bytes its reads returned), then a
  # moment to convert what it can.
  want=$(( $(stat -c %s part1.txt) + $(stat -c %s param.txt) ))
  for _ in $(seq 1 300); do
    got=$(awk '/^rchar/ { print $2 }' "/proc/$pid/io" 2>/dev/null)
    [ "${got:-0}" -ge "$want" ] && break
    sleep 0.1
  done
  sleep 0.5
  kill -"$signal" "$pid"
  wait "$pid"
  status=$?
  exec 3>&-
  size=$(stat -c %s out.txt)
  named=$(sed -n 's/.*after record \([0-9]*\) of.*/\1/p' err.txt)
  echo "-j $jobs SIG$signal: status $status (expected $expected)"
  [ $((size % record)) -eq 0 ] && echo "  the output is whole records"
  head -c "$size" part1.txt | cmp -s - out.txt && echo "  they are the input's first records"
  [ "$((size / record))" = "$named" ] && echo "  the stop line names the last of them"
  [ "$size" -gt 0 ] && echo "  at least one record was written"
  sed 's/after record [0-9]*/after record N/' err.txt
done

# A run that cannot finish its write (a reader that never reads) cannot
# reach a record boundary: a second signal ends it at once.
set +m
rm -f sink
mkfifo sink
exec 4<>sink  # a reader that never reads, so the run's writes block
"$1" -i part1.txt -o - param.txt >sink 2>err.txt &
pid=$!
sleep 1
kill -TERM "$pid"
sleep 0.5
kill -0 "$pid" 2>/dev/null && echo "blocked writing: still running after the first SIGTERM"
kill -TERM "$pid"
wait "$pid"
echo "after the second: status $?"
exec 4>&-
