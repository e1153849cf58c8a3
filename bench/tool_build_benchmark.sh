#!/usr/bin/env bash
# The time of `kestro build` for the example's configuration, by the Linux tool and by
# kestro.exe under Wine, against copying the stub (the least any build does), measured
# in one run: the median of RUNS runs of each (default 10).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10}
export LC_ALL=C
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target kestro >/dev/null
tool=$root/build/tool
work=$(mktemp -d)
prefix=$root/build/bench-wineprefix
"$root/scripts/wine-prefix.sh" up "$prefix"
trap '"$root/scripts/wine-prefix.sh" down "$prefix"; rm -rf "$work"' EXIT
cp "$root/examples/hello/hello.toml" "$work/"
printf 'PK not a real jar' > "$work/hello.jar"

source "$root/bench/median_time.sh"
cd "$work"
mkdir by-linux by-windows  # one output name for both: the version information is named after it
copy=$(median_time cp "$tool/launcher.exe" copy.exe)
linux=$(median_time "$tool/kestro" build hello.toml -o by-linux/hello.exe -q)
wine=$(median_time env WINEPREFIX="$prefix" WINEDEBUG=-all /usr/lib/wine/wine64 "$tool/kestro.exe" build hello.toml -o by-windows/hello.exe -q)
cmp by-linux/hello.exe by-windows/hello.exe
awk -v c="$copy" -v l="$linux" -v w="$wine" 'BEGIN {
  printf "cp of the stub            %.3f s\n", c
  printf "kestro build (Linux)      %.3f s  (%.1f x cp)\n", l, l / c
  printf "kestro.exe build (Wine)   %.3f s  (%.1f x cp, %.1f x Linux)\n", w, w / c, w / l
}'
