# Another process reads data.txt (holds a shared lock on it) for the whole
# run: readers share a file, so the run reads it as usual.
command -v flock >/dev/null || { echo "needs flock (util-linux)" >&2; exit 77; }
exec flock --close --shared data.txt "$1" param.txt
