#!/usr/bin/env bash
# Builds everything, turns the bundled example configuration into a launcher with the
# build tool, shows its block, and runs it under Wine with tracing on. What the
# launcher did is shown by its trace file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"

build=$root/build
out=$build/example
prefix=$build/example-prefix
rm -rf "$out"
mkdir -p "$out/tmp"

"$build/tool/kestro" build "$root/examples/hello/hello.toml" -o "$out/hello.exe"
echo "== kestro inspect hello.exe"
"$build/tool/kestro" inspect "$out/hello.exe"

# A stand-in Java runtime beside the launcher (no real one exists here): a java.exe
# that reports its version and a VM library that loads.
fixtures=$build/windows/fixtures
mkdir -p "$out/jre/bin/server"
cp "$fixtures/java.exe" "$out/jre/bin/java.exe"
printf 'stderr=java version "1.8.0_201"\\r\\n\nexit=0\nsleep=0\n' > "$out/jre/bin/java.exe.cfg"
cp "$fixtures/jvm.dll" "$out/jre/bin/server/jvm.dll"

winpath() { echo "Z:$1" | tr / '\\'; }
cat > "$out/run.plan" <<PLAN
set TMP=$(winpath "$out/tmp")
set TEMP=$(winpath "$out/tmp")
set KESTRO_LOG=yes
cwd $(winpath "$out")
cmd "$(winpath "$out/hello.exe")" first-argument
PLAN

"$root/scripts/wine-prefix.sh" up "$prefix"
trap '"$root/scripts/wine-prefix.sh" down "$prefix"' EXIT
echo "== running hello.exe under Wine"
set +e
WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 "$build/windows/fixtures/envrun.exe" "$(winpath "$out/run.plan")"
code=$?
set -e
echo "== exit code: $code"
for log in "$out"/tmp/vlm_nlog_*; do
  echo "== trace file $(basename "$log")"
  tr -d '\r' < "$log"
done
