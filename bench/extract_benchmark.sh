#!/usr/bin/env bash
# Extraction benchmark: how long the launcher takes to extract 200 MB of included files
# (a few large files and a thousand small ones, below one directory level), against a
# plain copy of the same files on the same machine in the same run, and the launcher's
# peak memory for payloads of 20 MB and 200 MB (it must not grow with the payload).
#
# Usage: bench/extract_benchmark.sh [ROUNDS]   (after ./scripts/build.sh; default 3 rounds)
# The launcher runs without a trace. Extraction time is the run of a launcher with the
# files less the run of the same launcher without any, so start-up is not counted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
build=$root/build
work=$build/bench
stub=$build/windows/launcher/launcher.exe
[ -f "$stub" ] || { echo "build first: ./scripts/build.sh" >&2; exit 1; }

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
started_prefix=0
if [ ! -d "$WINEPREFIX" ]; then
  "$root/scripts/wine-prefix.sh" up "$WINEPREFIX"
  started_prefix=1
fi

mkdir -p "$work"
g++ -std=c++20 -O2 -I"$root" -o "$work/make_launcher" "$root/bench/make_launcher.cpp" \
  "$root/format/block_writer.cpp" "$root/format/pe_layout.cpp"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -municode -static -o "$work/benchrun.exe" "$root/bench/benchrun.cpp" -lpsapi

# Payloads: large files in the directory itself and small ones in lib/ (sizes in bytes).
make_payload() {  # dir large_count large_bytes small_count small_bytes
  local dir=$1
  [ -f "$dir.complete" ] && return
  rm -rf "$dir" && mkdir -p "$dir/lib"
  for i in $(seq 1 "$2"); do head -c "$3" /dev/urandom >"$dir/big$i.bin"; done
  for i in $(seq -w 1 "$4"); do head -c "$5" /dev/urandom >"$dir/lib/small$i.jar"; done
  touch "$dir.complete"
}
make_payload "$work/payload200" 4 45000000 1000 20000  # 180 MB + 1000 x 20 KB = 200 MB
make_payload "$work/payload20" 4 4000000 200 20000     # 16 MB + 200 x 20 KB = 20 MB

# A stand-in runtime beside the launchers, so that a start runs to its normal end (which
# leaves the extracted files in place).
mkdir -p "$work/jre/bin/server"
cp "$build/windows/fixtures/java.exe" "$work/jre/bin/java.exe"
printf 'stderr=java version "1.8.0_201"\\r\\n\nexit=0\nsleep=0\n' >"$work/jre/bin/java.exe.cfg"
cp "$build/windows/fixtures/jvm.dll" "$work/jre/bin/server/jvm.dll"

"$work/make_launcher" "$stub" "$work/none.exe"
"$work/make_launcher" "$stub" "$work/app20.exe" "$work/payload20"
"$work/make_launcher" "$stub" "$work/app200.exe" "$work/payload200"

win() { echo "Z:${1//\//\\}"; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
wine=/usr/lib/wine/wine64
tmpdir=$work/tmp

# Each measurement starts with the previous one's writes on disk, so that none pays for
# another's write-back.
fresh_tmp() { rm -rf "$tmpdir" && mkdir -p "$tmpdir" && sync; }

run_launcher() {  # exe -> "seconds peak_ws_kb peak_pagefile_kb"
  fresh_tmp
  local out
  out=$("$wine" "$work/benchrun.exe" run "$(win "$tmpdir")" "$(win "$1")")
  [ "$(echo "$out" | field exit)" = 0 ] || { echo "launcher failed: $out" >&2; exit 1; }
  echo "$(echo "$out" | field seconds) $(echo "$out" | field peak_working_set_kb) $(echo "$out" | field peak_pagefile_kb)"
}

copy_payload() {  # payload dir -> seconds
  fresh_tmp
  "$wine" "$work/benchrun.exe" copy "$(win "$1")" "$(win "$tmpdir/copy")" | field seconds
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
calc() { awk "BEGIN {printf \"%.6f\", $1}"; }

# One warm-up of each, so that every measured run reads from the page cache alike (and
# the runtime's version is cached).
run_launcher "$work/none.exe" >/dev/null
run_launcher "$work/app200.exe" >/dev/null
copy_payload "$work/payload200" >/dev/null

: >"$work/none.txt"; : >"$work/app200.txt"; : >"$work/copy.txt"; : >"$work/cp.txt"
for r in $(seq 1 "$rounds"); do
  run_launcher "$work/none.exe" >>"$work/none.txt"
  run_launcher "$work/app200.exe" >>"$work/app200.txt"
  copy_payload "$work/payload200" >>"$work/copy.txt"
  fresh_tmp
  s=$(date +%s.%N); cp -r "$work/payload200" "$tmpdir/copy"; e=$(date +%s.%N)
  calc "$e - $s" >>"$work/cp.txt"; echo >>"$work/cp.txt"
done
mem20=$(run_launcher "$work/app20.exe")
rm -rf "$tmpdir"

none=$(cut -d' ' -f1 "$work/none.txt" | median)
full=$(cut -d' ' -f1 "$work/app200.txt" | median)
copy=$(median <"$work/copy.txt")
cp=$(median <"$work/cp.txt")
extract=$(calc "$full - $none")
bytes=$(find "$work/payload200" -type f -printf '%s\n' | awk '{n += $1} END {print n}')
count=$(find "$work/payload200" -type f | wc -l)

printf 'payload: %d files, %.1f MB; %d rounds, medians\n' "$count" "$(calc "$bytes / 1000000")" "$rounds"
printf 'launcher run without files:   %6.3f s\n' "$none"
printf 'launcher run with the files:  %6.3f s  (extraction %.3f s)\n' "$full" "$extract"
printf 'plain copy (CopyFileW, Wine): %6.3f s\n' "$copy"
printf 'plain copy (cp -r, Linux):    %6.3f s\n' "$cp"
printf 'ratio extraction / CopyFileW: %6.2f\n' "$(calc "$extract / $copy")"
printf 'ratio extraction / cp -r:     %6.2f\n' "$(calc "$extract / $cp")"
printf 'peak memory (working set / pagefile KB): none %s / %s, 20 MB %s / %s, 200 MB %s / %s\n' \
  "$(cut -d' ' -f2 "$work/none.txt" | sort -n | tail -1)" "$(cut -d' ' -f3 "$work/none.txt" | sort -n | tail -1)" \
  "$(echo "$mem20" | cut -d' ' -f2)" "$(echo "$mem20" | cut -d' ' -f3)" \
  "$(cut -d' ' -f2 "$work/app200.txt" | sort -n | tail -1)" "$(cut -d' ' -f3 "$work/app200.txt" | sort -n | tail -1)"

[ "$started_prefix" = 1 ] && "$root/scripts/wine-prefix.sh" down "$WINEPREFIX"
exit 0
