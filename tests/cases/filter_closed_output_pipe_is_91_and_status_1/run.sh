# Standard output is a pipe whose reader is gone before rux starts: the
# reader closes its end, then tells the writer's side through a FIFO, so
# the order never depends on timing. The write fails (EPIPE, SIGPIPE being
# ignored): error 91 on standard error and status 1, never death by a signal
# (status 141).
mkfifo reader-gone
{
  read -r <reader-gone
  "$1" -i - -o - job.prm <in.txt
  echo "status $?" >status.txt
} | {
  exec <&-
  echo >reader-gone
}
cat status.txt
