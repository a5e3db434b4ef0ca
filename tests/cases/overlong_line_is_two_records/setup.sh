# 150,000 bytes and a line feed, then one short line.
{ head -c 150000 /dev/zero | tr '\0' 'x'; printf '\nend\n'; } > long.txt
