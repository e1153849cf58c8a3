#!/usr/bin/env bash
# Splash benchmark: how soon after the process was created the runtime's splash library
# gets the image (SplashLoadMemory called), against how soon the VM library is loaded,
# in the same starts. The stand-ins note both moments (microseconds since the process's
# creation time, when KESTRO_STAND_IN_TIMES is set): the recording jvm.dll when it is
# loaded, the stand-in splashscreen.dll when SplashLoadMemory is called. The launcher
# carries a 150 KB image and runs without a trace; its VM ends the process where main
# would begin ("main=exit 0"). Medians of RUNS starts (default 50) after one warm-up
# start, which also probes and caches the runtime's version.
#
# Usage: bench/splash_benchmark.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-50}
prefix=$root/build/bench-splash-wineprefix
source "$root/bench/common.sh"

out=$build/bench-splash
rm -rf "$out"
mkdir -p "$out/jre/bin/server"

g++ -std=c++20 -O2 -I"$root" -o "$out/splash_launcher" "$root/bench/splash_launcher.cpp" \
  "$root/format/block_writer.cpp" "$root/format/pe_layout.cpp" "$root/format/resource_section.cpp" \
  "$root/format/pe_checksum.cpp"

cp "$fixtures/java.exe" "$out/jre/bin/java.exe"
printf 'stderr=java version "1.8.0_201"\\r\\n\nexit=0\nsleep=0\n' > "$out/jre/bin/java.exe.cfg"
cp "$fixtures/jvm.dll" "$out/jre/bin/server/jvm.dll"
printf 'main=exit 0\n' > "$out/jre/bin/server/jvm.dll.cfg"
cp "$fixtures/splashscreen.dll" "$out/jre/bin/splashscreen.dll"
# An image of a common splash's size; not a BMP, so the stand-in opens no window.
{ printf '\211PNG\r\n\032\n'; head -c 150000 /dev/urandom; } > "$out/splash.png"
"$out/splash_launcher" "$build/windows/launcher/launcher.exe" "$out/launcher.exe" "$out/splash.png"

prefix_up
wine_env=(KESTRO_STAND_IN_TIMES=1)
bench time "$runs" "$(winpath "$out/launcher.exe")" >/dev/null

# The first record of each is the warm-up start's.
median_ms() {
  sed -n "s/^time $1 //p" "$2" | tr -d '\r' | tail -n +2 | sort -n |
    awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.2f", m / 1000 }'
}
vm=$(median_ms loaded "$out/jre/bin/server/jvm.dll.transcript")
splash=$(median_ms SplashLoadMemory "$out/jre/bin/splashscreen.dll.transcript")
count=$(grep -c '^time SplashLoadMemory ' "$out/jre/bin/splashscreen.dll.transcript")
[ "$count" -eq $((runs + 1)) ] || { echo "the splash library was called $count times in $((runs + 1)) starts" >&2; exit 1; }
echo "from process creation, median of $runs starts (150 KB image, no trace):"
printf '  VM library loaded                                %8.2f ms\n' "$vm"
printf '  splash image handed to the splash library        %8.2f ms\n' "$splash"
awk -v s="$splash" -v v="$vm" 'BEGIN {
  printf "  splash / VM library                              %8.2f\n", s / v
  printf "  difference of the medians                        %8.2f ms\n", s - v }'
