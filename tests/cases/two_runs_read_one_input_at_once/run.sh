# Two runs read data.txt at the same time. Run A copies it into a named pipe
# that nobody drains yet, so A stops in the middle of the file while it holds
# its lock on data.txt. Run B reads the same file meanwhile and must succeed;
# then the pipe is drained, A finishes, and both outputs are the input with
# CR LF line ends. The summary lines are shown without their times.
command -v flock >/dev/null || { echo "needs flock (util-linux)" >&2; exit 77; }
[ -r /proc/locks ] || { echo "needs /proc/locks to see run A's lock" >&2; exit 77; }

# 30,000 lines of 80 bytes: more than the 1 MiB that A writes at once.
awk 'BEGIN { for (i = 0; i < 30000; i++) printf "%079d\n", i }' >data.txt
printf 'INP = data.txt\nOUT = pipe\n' >a.prm
printf 'INP = data.txt\nOUT = b.txt\n' >b.prm
mkfifo pipe
# A reader that reads nothing, so that A can open the pipe; no child keeps it.
exec 3<>pipe
untimed() { sed 's/:[0-9][0-9]:[0-9][0-9]$//'; }

"$1" a.prm >a.log 3>&- &
a=$!
ino=$(stat -c %i data.txt)
a_reads() { grep -Eq "FLOCK +ADVISORY +READ +$a [0-9a-f]+:[0-9a-f]+:$ino " /proc/locks; }
for ((i = 0; i < 600; i++)); do
  a_reads && break
  sleep 0.05
done
if ! a_reads; then
  echo "run A never locked data.txt"
  kill "$a"
  exit 1
fi

"$1" b.prm 3>&- | untimed
echo "B status ${PIPESTATUS[0]}"
a_reads && echo "A still reading data.txt: yes" || echo "A still reading data.txt: no"

timeout 60 cat pipe >a.txt 3>&- &
drain=$!
wait "$a"
echo "A status $?"
exec 3>&-
wait "$drain"
untimed <a.log
sed 's/$/\r/' data.txt >want.txt
cmp -s want.txt a.txt && echo "A output as expected"
cmp -s want.txt b.txt && echo "B output as expected"
