#!/usr/bin/env bash
# The Linux tool needs no library of the build machine beyond the C and C++ runtimes, so
# that the release archive runs on any x86-64 Linux: prints what else ldd finds.
set -euo pipefail
others=$(ldd "$1" | awk '{print $1}' | grep -v -E '^(linux-vdso\.so\.1|libstdc\+\+\.so\.6|libm\.so\.6|libgcc_s\.so\.1|libc\.so\.6|/lib64/ld-linux-x86-64\.so\.2)$' || true)
if [ -n "$others" ]; then
  echo "$1 needs more than the C and C++ runtimes: $others" >&2
  exit 1
fi
