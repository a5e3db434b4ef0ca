#!/usr/bin/env bash
# Installs what building and testing need, when it is missing: a C++20
# compiler, CMake, GoogleTest, the C library's code page 932 converter,
# GNU parallel (an end-to-end case runs the documented parallel recipes),
# the OpenSSH server and client and rsync (a case runs parallel's multi-host
# form, which copies files with rsync, against an sshd of its own on the
# loopback address) and tmux (the preview is checked on a real terminal; its
# UTF-8 locale, C.UTF-8, comes with the C library).
#   bash scripts/setup.sh [clang] [man]
# With "clang" it also installs clang++ (the clang build in CI, and the
# fuzzing harness, which needs clang's libFuzzer); with "man" the manual page
# linters mandoc and groff (scripts/lint-man.sh).
set -euo pipefail

need=()
command -v g++ >/dev/null 2>&1 || need+=(g++)
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v make >/dev/null 2>&1 || need+=(make)
command -v iconv >/dev/null 2>&1 || need+=(libc-bin)
if [ ! -f /usr/include/gtest/gtest.h ] && [ ! -f /usr/local/include/gtest/gtest.h ]; then
  need+=(libgtest-dev)
fi
# glibc's converter modules for code page 932 (the build's literal tool, file
# names, console, tests).
if ! printf 'A' | iconv -f CP932 -t UTF-8 >/dev/null 2>&1; then
  need+=(libc6 locales)
fi
command -v tmux >/dev/null 2>&1 || need+=(tmux)
# GNU parallel, not the moreutils program of the same name.
case $(parallel --version 2>/dev/null </dev/null | head -n 1) in
  "GNU parallel"*) ;;
  *) need+=(parallel) ;;
esac
# sshd lives in /usr/sbin, which a user's PATH may lack.
if ! command -v sshd >/dev/null 2>&1 && [ ! -x /usr/sbin/sshd ]; then
  need+=(openssh-server)
fi
if ! command -v ssh >/dev/null 2>&1 || ! command -v ssh-keygen >/dev/null 2>&1; then
  need+=(openssh-client)
fi
command -v rsync >/dev/null 2>&1 || need+=(rsync)
for extra in "$@"; do
  case $extra in
    clang) command -v clang++ >/dev/null 2>&1 || need+=(clang) ;;
    man)
      command -v mandoc >/dev/null 2>&1 || need+=(mandoc)
      command -v groff >/dev/null 2>&1 || need+=(groff-base)
      ;;
    *) echo "setup: unknown extra '$extra' (known: clang, man)" >&2; exit 2 ;;
  esac
done

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
fi
