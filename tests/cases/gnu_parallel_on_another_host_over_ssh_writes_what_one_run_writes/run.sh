# GNU parallel's multi-host form, for real: parallel -S logs in to another
# host over ssh, sends the job there and brings the output back, and the
# bytes are those of one local run of the same job:
# (a) files sent over, one rux each, the outputs returned (code page 932);
# (b) one UTF-8 file piped through the filter there in blocks of about
#     1,000 bytes.
# The other host is this one, through an sshd that the case starts on a free
# loopback port with keys it makes, logging in as the current user. rux is
# not installed there: parallel sends a copy of the binary and the parameter
# file with --basefile into the working folder it runs in there (--wd) and
# removes them at the end (--cleanup). That folder is remote/ in the work
# folder, so every file travels through rsync and ssh, and nothing lands in
# the home folder. The build's binary itself is no basefile: an absolute
# path lands on the same path there, which here is the binary, and
# --cleanup would delete it.
export LC_ALL=C

skip() {
  echo "$1" >&2
  exit 77
}
case $(parallel --version 2>/dev/null </dev/null | head -n 1) in
  "GNU parallel"*) ;;
  *) skip "GNU parallel is not installed (bash scripts/setup.sh installs it)" ;;
esac
# sshd re-executes itself for every connection and so wants an absolute path.
sshd=$(PATH="$PATH:/usr/sbin:/sbin" command -v sshd) ||
  skip "sshd is not installed (bash scripts/setup.sh installs openssh-server)"
for tool in ssh ssh-keygen rsync; do
  command -v "$tool" >/dev/null ||
    skip "$tool is not installed (bash scripts/setup.sh installs it)"
done
# Run as root, sshd needs its privilege separation folder, which the
# package's service makes at boot and a machine without init never does.
if [ "$(id -u)" -eq 0 ] && [ ! -d /run/sshd ]; then
  if ! mkdir -m 0755 /run/sshd 2>/dev/null && [ ! -d /run/sshd ]; then
    echo "cannot make /run/sshd, which sshd needs" >&2
    exit 1
  fi
fi

ssh-keygen -q -t ed25519 -N '' -C rux-case-host -f host_key </dev/null || exit 1
ssh-keygen -q -t ed25519 -N '' -C rux-case-user -f user_key </dev/null || exit 1
cp user_key.pub authorized_keys

# The server: only this key, no PAM (which wants a login session of the
# machine's own), StrictModes off because the work folder is under /tmp.
write_sshd_config() {  # port
  cat >sshd_config <<EOF
ListenAddress 127.0.0.1:$1
HostKey $PWD/host_key
PidFile $PWD/sshd.pid
AuthorizedKeysFile $PWD/authorized_keys
StrictModes no
UsePAM no
PubkeyAuthentication yes
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
AllowTcpForwarding no
X11Forwarding no
PrintMotd no
MaxStartups 100
EOF
}
# The client, for parallel and the rsync it runs (--ssh "ssh -F ..."):
# -F leaves out the user's and the system's settings.
write_ssh_config() {  # port
  cat >ssh_config <<EOF
Host *
  Port $1
  IdentityFile $PWD/user_key
  IdentitiesOnly yes
  IdentityAgent none
  BatchMode yes
  StrictHostKeyChecking no
  UserKnownHostsFile /dev/null
  LogLevel ERROR
  ConnectTimeout 20
  ServerAliveInterval 10
  ServerAliveCountMax 3
EOF
}

sshd_pid=
stop_sshd() {
  [ -n "$sshd_pid" ] || return 0
  kill "$sshd_pid" 2>/dev/null
  wait "$sshd_pid" 2>/dev/null
  sshd_pid=
}
trap stop_sshd EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# start_sshd PORT: sshd writes its PidFile once it listens; it ends at once
# when the port is taken. Up to 30 s on a loaded machine.
start_sshd() {
  local tries
  write_sshd_config "$1"
  rm -f sshd.pid
  "$sshd" -D -e -f "$PWD/sshd_config" >>sshd.log 2>&1 &
  sshd_pid=$!
  for ((tries = 0; tries < 300; tries++)); do
    [ -s sshd.pid ] && return 0
    if ! kill -0 "$sshd_pid" 2>/dev/null; then
      wait "$sshd_pid"
      sshd_pid=
      return 1
    fi
    sleep 0.1
  done
  stop_sshd
  return 1
}
started=0
for ((attempt = 0; attempt < 20; attempt++)); do
  port=$((20000 + RANDOM % 10000))
  if start_sshd "$port"; then
    started=1
    break
  fi
done
if [ $started -eq 0 ]; then
  echo "sshd did not start:" >&2
  tail -n 5 sshd.log >&2
  exit 1
fi
write_ssh_config "$port"
logged_in=0
for ((tries = 0; tries < 5; tries++)); do
  if ssh -F "$PWD/ssh_config" 127.0.0.1 true </dev/null 2>>ssh.log; then
    logged_in=1
    break
  fi
  sleep 1
done
if [ $logged_in -eq 0 ]; then
  echo "cannot log in through the case's sshd:" >&2
  tail -n 5 sshd.log ssh.log >&2
  exit 1
fi
echo "ssh to the other host: ok"

cp -- "$1" rux
export PARALLEL_HOME="$PWD/parallel-home"
mkdir parallel-home local
# Two jobs at a time there; --wd is made there and removed afterwards. Every
# job and every block takes logins of its own, each running the login
# shell's startup files (seconds on a loaded machine): the data stays small.
other_host=(--will-cite -S 2/127.0.0.1 --ssh "ssh -F $PWD/ssh_config"
  --wd "$PWD/remote" --basefile rux --basefile job.prm)
# The start of a summary line, 入力ﾌｧｲﾙ: in code page 932.
summary=$'\x93\xfc\x97\xcd\xcc\xa7\xb2\xd9:'
show_log() {  # status file: what went wrong, on standard error
  [ "$1" -eq 0 ] || { echo "--- $2"; cat "$2"; } >&2
}

# (a) Files sent over, the outputs brought back beside the inputs.
./rux job.prm >local.log
echo "local run, folder mode: status $?"
parallel "${other_host[@]}" --transferfile {} --return {}.out --cleanup \
  ./rux -i {} -o {}.out job.prm ::: in/*.TXT >sent.log 2>sent.err
status=$?
show_log $status sent.err
echo "parallel -S, files sent over: status $status, $(grep -c "^$summary" sent.log) summary lines"
echo "brought back: $(echo in/*.out)"
same=1
for file in local/*; do
  cmp -s -- "$file" "in/${file#local/}.out" || same=0
done
if [ $same -eq 1 ]; then
  echo "files sent over: same bytes"
else
  echo "files sent over: different bytes:"
  for file in local/*; do cmp -- "$file" "in/${file#local/}.out" 2>&1; done
fi

# (b) One UTF-8 file through the filter there.
./rux --encoding=utf-8 --newline=lf -i - -o - job.prm <utf8.txt >plain.txt 2>plain.log
status=$?
show_log $status plain.log
crs=$(tr -cd '\r' <plain.txt | wc -c)
utf8=no
iconv -f UTF-8 -t UTF-8 plain.txt >/dev/null 2>&1 && utf8=yes
echo "local filter: status $status, $(wc -l <plain.txt) lines, UTF-8: $utf8, CRs: $crs"
parallel "${other_host[@]}" --cleanup --pipe --block 1k -k \
  ./rux --encoding=utf-8 --newline=lf -i - -o - job.prm <utf8.txt >piped.txt 2>piped.log
status=$?
show_log $status piped.log
blocks=$(grep -c "^$summary-" piped.log)
[ "$blocks" -ge 3 ] && blocks="three or more"
echo "parallel -S --pipe: status $status, $blocks blocks"
if cmp -s plain.txt piped.txt; then
  echo "UTF-8 file through the filter: same bytes"
else
  echo "UTF-8 file through the filter: different bytes: $(cmp plain.txt piped.txt 2>&1 | head -n 1)"
fi

echo "files left on the other host: $(find remote -type f 2>/dev/null | wc -l)"
