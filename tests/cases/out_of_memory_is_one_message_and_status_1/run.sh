# Each definition doubles the line towards the 10 MB bound, far beyond a
# 30 MB address space.
if grep -q __asan_init "$1"; then
  echo "a sanitizer build needs more address space than the limit allows" >&2
  exit 77
fi
ulimit -v 30000
exec "$1" param.txt
