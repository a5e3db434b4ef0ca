# "-" names standard input as the parameter file.
exec "$1" - < job.prm
