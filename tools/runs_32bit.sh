#!/bin/sh
# Whether this host runs 32-bit x86 Linux programs, found by trying: a
# 91-byte program for i386 that only exits with 42 is written and started.
# Some hosts refuse them (a kernel or a virtual machine without 32-bit
# support: "Exec format error"), and so refuse Wine's 32-bit loader too.
# Exit 0 when it ran; else 1, with what the attempt gave on standard output.
dir=$(mktemp -d) || { echo "no temporary folder for the probe"; exit 1; }
trap 'rm -rf "$dir"' EXIT
# ELF header, one loadable segment, then: xor eax,eax; inc eax; mov bl,42; int 0x80.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\133\000\000\000\133\000\000\000\005\000\000\000\000\020\000\000\061\300\100\263\052\315\200' >"$dir/probe"
chmod +x "$dir/probe"
said=$("$dir/probe" 2>&1)
code=$?
[ "$code" -eq 42 ] && exit 0
case "$said" in
  *"Exec format error"*) echo "Exec format error" ;;
  *) echo "exit code $code${said:+: $said}" ;;
esac
exit 1
