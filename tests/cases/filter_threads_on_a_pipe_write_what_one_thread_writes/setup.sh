# 2,000 short records around a line of 100,001 bytes (two records), with
# CR LF and LF line ends, then a 0x1A and bytes that are never read.
{
  for i in $(seq 1 1000); do printf 'rec %04d\r\n' "$i"; done
  head -c 100001 /dev/zero | tr '\0' 'x'
  printf '\n'
  for i in $(seq 1001 2000); do printf 'rec %04d\n' "$i"; done
  printf 'last\032never read\r\n'
} >in.txt
