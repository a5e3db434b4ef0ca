# Every text rule at once, read from a pipe: CR LF and LF line ends, a lone
# CR kept as data, a line of 100,001 bytes read as a piece of 99,999 bytes
# and one of 2, a last line before the 0x1A that ends the file, and bytes
# after it that are never read.
{
  printf 'crlf\r\nlf\nlone\rcr\r\n'
  head -c 99998 /dev/zero | tr '\0' 'a'
  printf 'bcd\nlast\r\n\032never read\r\n'
} >in.txt
