#!/usr/bin/env bash
# Benchmark of kestro run: the example's launcher (scripts/example.sh) run by kestro run
# with no prefix yet (cold: the prefix is made first), then with that prefix (warm, the
# median of RUNS, default 5), against wine starting a trivial windowed program in the
# same prefix (median of as many). Prints the times and the ratio of warm to trivial.
#
# Usage: bench/kestro_run_benchmark.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/common.sh"
cmake --build "$build" --target example >/dev/null
runs=${1:-5}
kestro=$build/tool/kestro
out=$build/bench/kestro-run
cache=$out/cache
export XDG_CACHE_HOME=$cache
stop() { "$root/scripts/wine-prefix.sh" down "$cache/kestro/wine" 2>/dev/null || true; }
stop
rm -rf "$out"
mkdir -p "$out/app/lib"
cp "$root/examples/hello/hello.toml" "$build/examples/hello/hello.jar" "$out/"
cp "$build/examples/hello/lib/greeting.jar" "$out/app/lib/"
cp "$root/examples/hello/hello.vmoptions" "$out/app/"
"$kestro" build -q "$out/hello.toml" -o "$out/app/hello.exe"
trap stop EXIT

seconds() {  # seconds COMMAND...: the wall time of one run, its output dropped
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

cold=$(seconds "$kestro" run "$out/app/hello.exe")
warm=$(for _ in $(seq "$runs"); do seconds "$kestro" run "$out/app/hello.exe"; done | median)
trivial=$(for _ in $(seq "$runs"); do
  seconds env WINEPREFIX="$cache/kestro/wine" WINEDEBUG=-all /usr/lib/wine/wine64 "$fixtures/trivial.exe"
done | median)
printf 'kestro run, cold (the prefix is made):  %6.2f s\n' "$cold"
printf 'kestro run, warm (median of %d):        %6.2f s\n' "$runs" "$warm"
printf 'wine trivial.exe, same prefix (median): %6.2f s\n' "$trivial"
printf 'warm / trivial:                         %6.1f\n' "$(awk -v w="$warm" -v t="$trivial" 'BEGIN { print w / t }')"
