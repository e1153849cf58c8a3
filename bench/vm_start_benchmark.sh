#!/usr/bin/env bash
# Benchmark of a launcher start until the application's main is entered, with a warm
# version cache. The runtime beside the launcher has the recording VM library, scripted
# to end the process in the call of main ("main=exit 0"), so a run's wall time is the
# way from process creation to main, VM options, class path and the argument array
# included. Against, in the same run:
#   (a) a windowed program that only initialises the common controls (the launcher's
#       first step), and
#   (b) a launcher of the other common design (bench/child_process_launcher.cpp): a
#       windowed program that starts the runtime's javaw.exe beside it as a child process
#       and waits for it; its javaw.exe (bench/javaw_stand_in.cpp) is a windowed program
#       with user32, as the real one, that ends at once.
# For information also (b) with the common controls initialised first, as the
# launcher's first step does: the two designs on equal terms.
# Medians of RUNS starts of each (default 100), interleaved, after one warm-up start of
# each. Then, for information, the wall time of a real Java run: a launcher that
# includes the runtime library and a small application (HostApp of the test tree),
# whose VM library hands the launch to the host's JDK (median of JAVA_RUNS, default 5).
#
# Usage: bench/vm_start_benchmark.sh [RUNS] [JAVA_RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-100}
java_runs=${2:-5}
source "$root/bench/common.sh"

out=$build/bench-vmstart
rm -rf "$out"
mkdir -p "$out/inproc/jre/bin/server" "$out/child/jre/bin" "$out/host/jre/bin/server"

# The in-process launcher's runtime: the java stand-in for the version probe, and the
# recording VM library that ends the process where main would begin.
cp "$fixtures/java.exe" "$out/inproc/jre/bin/java.exe"
cp "$fixtures/java.exe" "$out/inproc/jre/bin/javaw.exe"
java_version 1.8.0_201 > "$out/inproc/jre/bin/java.exe.cfg"
cp "$fixtures/jvm.dll" "$out/inproc/jre/bin/server/jvm.dll"
printf 'main=exit 0\n' > "$out/inproc/jre/bin/server/jvm.dll.cfg"
cat > "$out/inproc/app.toml" <<'TOML'
[application]
main_class = "bench.Main"
type = "gui"
[java]
search_order = [{ relative_directory = "jre" }]
min_version = "1.8"
TOML
"$build/tool/kestro" build "$out/inproc/app.toml" -o "$out/inproc/launcher.exe"

# The child-process launchers' runtime: only the javaw.exe they start.
cp "$build/windows/bench/child_process_launcher.exe" "$build/windows/bench/child_process_launcher_controls.exe" \
   "$out/child/"
cp "$build/windows/bench/javaw_stand_in.exe" "$out/child/jre/bin/javaw.exe"
cp "$fixtures/trivial_controls.exe" "$out/"

# The real Java run: the host-runtime VM library with its bridge, and a launcher that
# includes the runtime library and the application, whose output goes to output.log
# beside it (the runtime library's redirect to the file of a system property, since the
# host's JDK cannot use the Windows path of a plain redirect).
cp "$fixtures/java.exe" "$out/host/jre/bin/java.exe"
cp "$fixtures/java.exe" "$out/host/jre/bin/javaw.exe"
java_version 17.0.0 > "$out/host/jre/bin/java.exe.cfg"
cp "$build/tool/runtime-stand-in/jvm.dll" "$out/host/jre/bin/server/jvm.dll"
cp "$build/tool/runtime-stand-in/host_bridge.jar" "$out/host/jre/bin/server/"
cat > "$out/host/app.toml" <<TOML
[application]
main_class = "com.kestro.testing.HostApp"
[redirect]
stdout = true
stdout_file = "\$app.out"
[vm]
options = ['-Dapp.out=$(winpath "$out/host/output.log")']
[java]
search_order = [{ relative_directory = "jre" }]
[[files]]
source = "$fixtures/host_app.jar"
TOML
"$build/tool/kestro" build "$out/host/app.toml" -o "$out/host/launcher.exe"

prefix_up

bench time 1 "$(winpath "$out/inproc/launcher.exe")" >/dev/null  # probes and caches the version
read -r controls child child_controls launcher < <(bench time "$runs" "$(winpath "$out/trivial_controls.exe")" \
    "$(winpath "$out/child/child_process_launcher.exe")" "$(winpath "$out/child/child_process_launcher_controls.exe")" \
    "$(winpath "$out/inproc/launcher.exe")" | awk '{print $2}' | paste -sd' ')
echo "start until main is entered, median of $runs starts, warm version cache:"
printf '  (a) trivial program with common controls         %8.2f ms\n' "$controls"
printf '  (b) launcher starting javaw.exe as a child       %8.2f ms\n' "$child"
printf '  launcher, VM in its own process                  %8.2f ms\n' "$launcher"
awk -v l="$launcher" -v a="$controls" -v b="$child" -v c="$child_controls" 'BEGIN {
  printf "  launcher / (a)                                   %8.2f\n", l / a
  printf "  launcher / (b)                                   %8.2f (goal: well below 1)\n", l / b
  printf "for information, (b) initialising the common controls first, as the launcher does:\n"
  printf "  (b) with common controls                         %8.2f ms\n", c
  printf "  launcher / (b) with common controls              %8.2f\n", l / c }'

java_ms=$(bench time "$java_runs" "$(winpath "$out/host/launcher.exe")" | awk '{print $2}')
echo "for information: a real Java run through the host's JDK (HostApp, included jars), median of $java_runs runs:"
printf '  launcher start to end                            %8.2f ms\n' "$java_ms"
grep -q '^main returning' "$out/host/output.log" || { echo "the application did not run to its end" >&2; exit 1; }
