# A file-size limit (ulimit -f, systemd's LimitFSIZE=) of 1 KiB, below the
# output's 2,600 bytes: the write fails with EFBIG and the run reports error
# 91 with status 1, never dies by SIGXFSZ (status 153). The output keeps the
# 1,024 bytes the limit allowed.
ulimit -f 1
exec "$1" param.txt
