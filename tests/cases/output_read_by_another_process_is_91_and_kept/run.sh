# Another process reads out.txt (holds a shared lock on it) for the whole
# run: the run never writes a file that is being read, and leaves it as it was.
command -v flock >/dev/null || { echo "needs flock (util-linux)" >&2; exit 77; }
exec flock --close --shared out.txt "$1" param.txt
