#!/usr/bin/env bash
# Benchmark of a whole launcher start, from process creation through the VM start with
# the recording stand-in VM library (which does nothing of a real VM), with a warm
# version cache, against a windowed program that only starts and ends, and
# against one that also initialises the common controls, as the launcher's first step
# does (under Wine, loading user32 and comctl32 is most of a windowed program's start).
# All run under the same Wine in the same run; the figures are medians of RUNS starts
# (default 100). Then the same launcher searching the registry, with 1, 10, 100 and 1000 located
# runtimes of which all but one are below the lower bound: how the start grows; and 1000
# located plus 20 registered across the sources of today's installers (all below the
# bound, so every one is checked), with the cost per runtime checked of both. Then the
# start with the runtime library included (kept in the user's cache) against one without
# it. Last, a launcher that carries only the runtime library and one with a file of its
# own, each started on an empty temporary root and on one that holds 200 directories
# left by ended launchers, which the second clears away while its VM starts.
#
# Usage: bench/startup_benchmark.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-100}
source "$root/bench/common.sh"

out=$build/bench-startup
rm -rf "$out"
mkdir -p "$out/jre/bin/server" "$out/tmp"

# A stand-in runtime beside the launcher.
cp "$fixtures/java.exe" "$out/jre/bin/java.exe"
printf 'stderr=java version "1.8.0_201"\\r\\n\nexit=0\nsleep=0\n' > "$out/jre/bin/java.exe.cfg"
cp "$fixtures/jvm.dll" "$out/jre/bin/server/jvm.dll"
cp "$fixtures/trivial.exe" "$fixtures/trivial_controls.exe" "$out/"

# No included files, so that no temporary directory is made: the start as it was
# measured before the runtime library travelled inside launchers.
cat > "$out/beside.toml" <<'TOML'
[build]
include_runtime_library = false
[application]
main_class = "bench.Main"
type = "console"
[java]
search_order = [{ relative_directory = "jre" }]
min_version = "1.8"
TOML
sed 's/^search_order = .*/search_order = ["registry"]/' "$out/beside.toml" > "$out/registry.toml"
grep -v '^include_runtime_library' "$out/beside.toml" > "$out/extracting.toml"
# An application with an included file of its own beside the runtime library.
printf 'PK\005\006%018d' 0 > "$out/own.jar"
{ cat "$out/extracting.toml"; printf '[[files]]\nsource = "own.jar"\n'; } > "$out/own.toml"
for name in beside registry extracting own; do "$build/tool/kestro" build "$out/$name.toml" -o "$out/$name.exe"; done

prefix_up
median_of() { bench time "$runs" "$(winpath "$1")" | awk '{print $2}'; }

bench time 1 "$(winpath "$out/beside.exe")" >/dev/null  # first start probes and caches the version
read -r trivial controls launcher < <(bench time "$runs" "$(winpath "$out/trivial.exe")" \
    "$(winpath "$out/trivial_controls.exe")" "$(winpath "$out/beside.exe")" | awk '{print $2}' | paste -sd' ')
echo "start until the VM library is loaded, median of $runs starts, warm version cache:"
printf '  trivial program                          %8.2f ms\n' "$trivial"
printf '  trivial program with common controls     %8.2f ms\n' "$controls"
printf '  launcher                                 %8.2f ms\n' "$launcher"
awk -v a="$launcher" -v b="$trivial" -v c="$controls" 'BEGIN {
  printf "  launcher / trivial program               %8.2f (goal: at most 1.15)\n", a / b
  printf "  launcher / trivial with common controls  %8.2f\n", a / c }'

echo "registry search with located runtimes (all but one below the lower bound), warm cache:"
for count in 1 10 100 1000; do
  bench locate "$count" "$(winpath "$fixtures/java.exe")" "$(winpath "$fixtures/jvm.dll")" "$(winpath "$out/located")"
  bench time 1 "$(winpath "$out/registry.exe")" >/dev/null  # probes the new runtimes once
  ms=$(median_of "$out/registry.exe")
  printf '  %5d located      %8.2f ms\n' "$count" "$ms"
  declare "located_$count=$ms"
done
bench register 20 "$(winpath "$fixtures/java.exe")" "$(winpath "$out/registered")"
bench time 1 "$(winpath "$out/registry.exe")" >/dev/null
ms=$(median_of "$out/registry.exe")
bench register 0 "$(winpath "$fixtures/java.exe")" "$(winpath "$out/registered")"
printf '   1000 located + 20 registered %8.2f ms\n' "$ms"
awk -v one="$located_1" -v located="$located_1000" -v both="$ms" 'BEGIN {
  printf "  per runtime checked: located only %.3f ms (goal: at most 0.25), with the registered %.3f ms\n",
         (located - one) / 999, (both - one) / 1019 }'

echo "the runtime library included (from the user's cache) against none, median of $runs starts each:"
read -r without with < <(bench time "$runs" "$(winpath "$out/beside.exe")" "$(winpath "$out/extracting.exe")" \
    | awk '{print $2}' | paste -sd' ')
printf '  include_runtime_library = false          %8.2f ms\n' "$without"
printf '  runtime library included                 %8.2f ms\n' "$with"
awk -v a="$with" -v b="$without" 'BEGIN { printf "  included / not included                  %8.2f (goal: at most 1.05)\n", a / b }'

for launcher in extracting own; do
  case $launcher in
    extracting) echo "a launcher whose only included file is the runtime library; the temporary root:" ;;
    own) echo "a launcher with an included file of its own (extracted; earlier directories removed meanwhile):" ;;
  esac
  read -r none crowded < <(bench leftovers "$runs" 200 "$(winpath "$out/leftovers")" "$(winpath "$out/$launcher.exe")")
  printf '  empty                                    %8.2f ms\n' "$none"
  printf '  with 200 directories of ended launchers  %8.2f ms\n' "$crowded"
  awk -v a="$crowded" -v b="$none" 'BEGIN { printf "  with 200 / empty                         %8.2f (goal: at most 1.05)\n", a / b }'
done
