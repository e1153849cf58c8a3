#!/usr/bin/env bash
# For information: a start until the application's main is entered on the real VM (Avian,
# the interpreter build of the test bench) against the same start on the recording VM,
# in the same run. Both launchers include the runtime library and search the runtime
# beside them, with a warm version cache and no trace. The recording VM ends the process
# in the call of the launcher class's main ("main=exit 0"); on Avian the runtime library
# runs and the application (RealVmApp of the test tree) calls System.exit(0) first thing
# in its main, so the real VM's figure also holds the class loading and the library's
# work before main. Medians of RUNS starts of each (default 30), interleaved, after one
# warm-up start of each.
#
# Usage: bench/real_vm_benchmark.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-30}
source "$root/bench/common.sh"
avian=$build/avian
[ -f "$avian/jvm.dll" ] || { echo "no real VM in $avian: the build found no Avian snapshot" >&2; exit 1; }

out=$build/bench-realvm
rm -rf "$out"
for vm in recording real; do
  mkdir -p "$out/$vm/jre/bin/server"
  cp "$fixtures/java.exe" "$out/$vm/jre/bin/java.exe"
  java_version 1.8.0_201 > "$out/$vm/jre/bin/java.exe.cfg"
done
cp "$fixtures/jvm.dll" "$out/recording/jre/bin/server/jvm.dll"
printf 'main=exit 0\n' > "$out/recording/jre/bin/server/jvm.dll.cfg"
cp "$avian/jvm.dll" "$out/real/jre/bin/server/jvm.dll"
cp "$avian/real_vm_app.jar" "$out/"

cat > "$out/recording/app.toml" <<TOML
[application]
main_class = "com.kestro.testing.RealVmApp"
[java]
search_order = [{ relative_directory = "jre" }]
[[files]]
source = "$out/real_vm_app.jar"
TOML
cat > "$out/real/app.toml" <<TOML
[application]
main_class = "com.kestro.testing.RealVmApp"
[vm]
options = ['-Davian.bootstrap=$(winpath "$out/real/jre/bin/server/jvm.dll")', "-Dapp.action=exit:0"]
[java]
search_order = [{ relative_directory = "jre" }]
[[files]]
source = "$out/real_vm_app.jar"
TOML
for vm in recording real; do
  "$build/tool/kestro" build "$out/$vm/app.toml" -o "$out/$vm/launcher.exe" >/dev/null
done

prefix_up
recording=$(winpath "$out/recording/launcher.exe")
real=$(winpath "$out/real/launcher.exe")
bench time 1 "$recording" "$real" >/dev/null  # probes and caches the version
# The application's own output comes first; the medians are the lines of the launchers.
read -r rec_ms real_ms < <(bench time "$runs" "$recording" "$real" | awk '/launcher\.exe /{print $2}' | paste -sd' ')
echo "start until main is entered, median of $runs starts, warm version cache:"
printf '  recording VM (ends in the call of main)          %8.2f ms\n' "$rec_ms"
printf '  real VM, Avian interpreter (application main)    %8.2f ms\n' "$real_ms"
awk -v r="$real_ms" -v c="$rec_ms" 'BEGIN {
  printf "  real / recording                                 %8.2f\n", r / c
  printf "  the real VM adds                                 %8.2f ms\n", r - c }'
