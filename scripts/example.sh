#!/usr/bin/env bash
# Builds what the example needs (the build tool, the launcher stub, the stand-ins of a
# Java runtime), compiles the example application of examples/hello, turns its
# configuration into hello.exe with the build tool and runs it under Wine with tracing
# on. Arguments given to this script are passed to hello.exe.
#
# No Windows Java runtime exists here: hello.exe finds a stand-in runtime in jre\ beside
# it whose jvm.dll hands the launch to this machine's JDK, so the application's own Java
# code runs behind the real launcher. On Windows the same launcher loads the jvm.dll of
# the Java runtime it finds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target example

build=$root/build
src=$root/examples/hello
out=$build/example
app=$out/app
rm -rf "$out"
mkdir -p "$out/classes/greeting" "$out/classes/hello" "$app/lib" "$app/tmp"

echo "== compiling the example application"
javac --release 8 -d "$out/classes/greeting" $(find "$src/greeting/src" -name '*.java')
jar --create --file "$app/lib/greeting.jar" -C "$out/classes/greeting" .
javac --release 8 -cp "$app/lib/greeting.jar" -d "$out/classes/hello" $(find "$src/src" -name '*.java')
jar --create --file "$out/hello.jar" -C "$out/classes/hello" .

echo "== kestro build hello.toml"
cp "$src/hello.toml" "$out/hello.toml"
"$build/tool/kestro" build "$out/hello.toml" -o "$app/hello.exe"
cp "$src/hello.vmoptions" "$app/hello.vmoptions"
echo "== kestro inspect hello.exe"
"$build/tool/kestro" inspect "$app/hello.exe"

# The stand-in runtime: a java.exe that reports a version when the launcher probes it,
# and the VM library that runs the application in the host's JDK.
fixtures=$build/windows/fixtures
mkdir -p "$app/jre/bin/server"
cp "$fixtures/java.exe" "$app/jre/bin/java.exe"
printf 'stderr=openjdk version "17.0.0"\\r\\n\n' > "$app/jre/bin/java.exe.cfg"
cp "$fixtures/jvm_host.dll" "$app/jre/bin/server/jvm.dll"
cp "$fixtures/host_bridge.jar" "$app/jre/bin/server/host_bridge.jar"

winpath() { echo "Z:$1" | tr / '\\'; }
arguments=""
for argument in "${@:-Kestro user}"; do arguments+=" \"$argument\""; done
cat > "$out/run.plan" <<PLAN
set TMP=$(winpath "$app/tmp")
set TEMP=$(winpath "$app/tmp")
set KESTRO_LOG=yes
cwd $(winpath "$app")
cmd "$(winpath "$app/hello.exe")"$arguments
PLAN

prefix=$build/example-prefix
"$root/scripts/wine-prefix.sh" up "$prefix"
trap '"$root/scripts/wine-prefix.sh" down "$prefix"' EXIT
echo "== running hello.exe under Wine"
set +e
WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 "$fixtures/envrun.exe" "$(winpath "$out/run.plan")"
code=$?
set -e
echo "== exit code: $code"
for log in "$app"/tmp/vlm_nlog_*; do
  echo "== trace file $(basename "$log")"
  tr -d '\r' < "$log"
done
