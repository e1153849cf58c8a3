#!/usr/bin/env bash
# Benchmark of the single-instance hand-over. A first instance runs in the background:
# a single-instance launcher whose VM library hands the launch to the host's JDK, with
# the real runtime library and an application that listens with InstanceHandover
# (HandoverRecorder of the test tree). Measured in the same run, under the same Wine:
#   (a) a launcher start that is not a second instance: the same configuration (single
#       instance, the same included jars) from another path, whose runtime has the
#       recording VM library scripted to end the process where main would begin, so
#       the start runs from process creation through the instance semaphore, the
#       process id registration and the VM start until main;
#   (b) one hand-over: a second start of the first instance's launcher, from process
#       creation until its exit, that is until the application has taken its
#       arguments and deleted the file.
# Medians of RUNS starts of each (default 30), interleaved, after one warm-up start of
# each; the ratio (b) / (a). Then BURSTS times (default 3) 20 second starts created at
# the same moment, each with arguments of its own: the wall time from the first creation
# to the last end. Every hand-over is checked to have arrived.
#
# Usage: bench/handover_benchmark.sh [RUNS] [BURSTS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-30}
bursts=${2:-3}
source "$root/bench/common.sh"

out=$build/bench-handover
rm -rf "$out"
mkdir -p "$out/first/jre/bin/server" "$out/plain/jre/bin/server" "$out/tmp"

# The first instance: the host-runtime VM library, which lets the JDK live long enough.
cp "$fixtures/java.exe" "$out/first/jre/bin/java.exe"
java_version 17.0.0 > "$out/first/jre/bin/java.exe.cfg"
cp "$build/tool/runtime-stand-in/jvm.dll" "$out/first/jre/bin/server/jvm.dll"
cp "$build/tool/runtime-stand-in/host_bridge.jar" "$out/first/jre/bin/server/"
printf 'timeout=3600\n' > "$out/first/jre/bin/server/jvm.dll.cfg"
# The start that is not a second instance: the recording VM library, ending at main.
cp "$fixtures/java.exe" "$out/plain/jre/bin/java.exe"
java_version 17.0.0 > "$out/plain/jre/bin/java.exe.cfg"
cp "$fixtures/jvm.dll" "$out/plain/jre/bin/server/jvm.dll"
printf 'main=exit 0\n' > "$out/plain/jre/bin/server/jvm.dll.cfg"

for dir in first plain; do
  cat > "$out/$dir/app.toml" <<TOML
[application]
main_class = "com.kestro.runtime.testapps.Apps\$HandoverRecorder"
type = "console"
[instance]
single = true
[vm]
options = ['-Dhandover.record=$(winpath "$out/record.txt")', '-Dhandover.ready=$(winpath "$out/ready")',
           '-Dhandover.stop=$(winpath "$out/stop")']
[java]
search_order = [{ relative_directory = "jre" }]
[[files]]
source = "$build/tests/java/java-runtime-tests.jar"
TOML
  "$build/tool/kestro" build "$out/$dir/app.toml" -o "$out/$dir/launcher.exe" -q
done

"$root/scripts/wine-prefix.sh" up "$prefix"
first_pid=
cleanup() {
  touch "$out/stop"
  [ -z "$first_pid" ] || wait "$first_pid" || true
  "$root/scripts/wine-prefix.sh" down "$prefix"
}
trap cleanup EXIT
wine_env=(TMP="$(winpath "$out/tmp")" TEMP="$(winpath "$out/tmp")")
lines() { if [ -f "$out/record.txt" ]; then wc -l < "$out/record.txt"; else echo 0; fi; }

wine "$out/first/launcher.exe" > "$out/first.out" 2>&1 &
first_pid=$!
for _ in $(seq 1200); do [ -f "$out/ready" ] && break; sleep 0.1; done
[ -f "$out/ready" ] || { echo "the first instance did not start:" >&2; cat "$out/first.out" >&2; exit 1; }

read -r plain handover < <(bench time "$runs" "$(winpath "$out/plain/launcher.exe")" \
    "$(winpath "$out/first/launcher.exe")" | awk '{print $2}' | paste -sd' ')
expected=$((runs + 1))
echo "one start, median of $runs starts, warm version cache:"
printf '  (a) launcher start, not a second instance, until main  %8.2f ms\n' "$plain"
printf '  (b) second start handing over, until its exit          %8.2f ms\n' "$handover"
awk -v a="$plain" -v b="$handover" 'BEGIN { printf "  (b) / (a)                                              %8.2f\n", b / a }'

echo "20 second starts created at once (wall time from the first creation to the last end):"
for n in $(seq "$bursts"); do
  read -r total failed < <(bench burst 20 "$(winpath "$out/first/launcher.exe")")
  expected=$((expected + 20))
  for _ in $(seq 100); do [ "$(lines)" -ge "$expected" ] && break; sleep 0.1; done
  printf '  burst %d                                                %8.2f ms  (%d not ended with 0)\n' \
    "$n" "$total" "$failed"
done
[ "$(lines)" -eq "$expected" ] || { echo "$(lines) hand-overs recorded, $expected expected" >&2; exit 1; }
ls "$out/tmp"/kst_p*.tmp >/dev/null 2>&1 && { echo "a hand-over file was left behind" >&2; exit 1; }
exit 0
