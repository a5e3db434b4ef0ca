# A CHANGE that makes each 80-byte record a hundred times longer (8 KB),
# under a 300 MB address-space limit: one thread needs a few megabytes,
# and so must two and four, whose blocks go to the writer in parts of a
# few megabytes instead of whole (a block of 1 MiB would become 100 MB per
# worker). The output, 260 MB, is compared by its checksum.
if grep -q -e __asan_init -e __tsan_init "$1"; then
  echo "a sanitizer build reserves more address space than the limit allows" >&2
  exit 77
fi
line=$(printf 'record %05d X %063d\r' 0 0)
for ((i = 0; i < 32768; i++)); do echo "$line"; done >in.txt
ulimit -v 300000
for jobs in 1 2 4; do
  "$1" -j "$jobs" -i in.txt -o - param.txt 2>err.txt | cksum >sum.txt
  echo "-j $jobs: status ${PIPESTATUS[0]}, output $(cat sum.txt)"
  cat err.txt
done
