# Another process writes the input (an exclusive lock) while the run starts.
exec flock -x in.txt "$1" param.txt
