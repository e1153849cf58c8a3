#!/usr/bin/env bash
# Starts the launcher that the plugin built for the one-dependency sample under Wine and
# checks that the dependency's code prints. No Windows Java runtime exists here: a
# stand-in runtime beside the launcher hands the launch to this machine's JDK, found
# through KESTRO_JAVA_HOME (the sample's configuration names no runtime search).
# Usage: run_sample.sh BUILD_DIR WINEPREFIX
set -euo pipefail
build=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe=$build/maven/target/it/one-dependency/target/one-dependency-1.2.3-SNAPSHOT.exe
fixtures=$build/windows/fixtures
app=$build/maven/wine-run
rm -rf "$app"
mkdir -p "$app/jre/bin/server" "$app/tmp"
cp "$exe" "$app/sample.exe"
cp "$fixtures/java.exe" "$app/jre/bin/java.exe"
printf 'stderr=openjdk version "17.0.0"\\r\\n\n' > "$app/jre/bin/java.exe.cfg"
cp "$fixtures/jvm_host.dll" "$app/jre/bin/server/jvm.dll"
cp "$fixtures/host_bridge.jar" "$app/jre/bin/server/"

winpath() { echo "Z:$1" | tr / '\\'; }
cat > "$app/run.plan" <<PLAN
set TMP=$(winpath "$app/tmp")
set TEMP=$(winpath "$app/tmp")
set KESTRO_JAVA_HOME=$(winpath "$app/jre")
cwd $(winpath "$app")
cmd "$(winpath "$app/sample.exe")" "Wine user"
PLAN
output=$(/usr/lib/wine/wine64 "$fixtures/envrun.exe" "$(winpath "$app/run.plan")" 2>&1 | tr -d '\r')
echo "$output"
grep -qx "Greetings, Wine user, from the greeting library" <<<"$output"
