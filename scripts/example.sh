#!/usr/bin/env bash
# Builds what the example needs (the build tool with its launcher stub and stand-in
# runtime, the example application's jars), turns examples/hello/hello.toml into
# hello.exe with the build tool, shows what it carries, and runs it with
# `kestro run --trace` under Wine: the application's output, its exit code and the
# launcher's trace. Arguments given to this script are passed to hello.exe.
#
# No Windows Java runtime exists here: kestro run lays out a stand-in runtime whose
# jvm.dll hands the launch to this machine's JDK, so the application's own Java code
# runs behind the real launcher. On Windows the same launcher loads the jvm.dll of the
# Java runtime it finds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target example

build=$root/build
kestro=$build/tool/kestro
src=$root/examples/hello
jars=$build/examples/hello  # hello.jar and lib/greeting.jar, compiled by the build
out=$build/example
app=$out/app
rm -rf "$out"
mkdir -p "$app/lib"
cp "$src/hello.toml" "$jars/hello.jar" "$out/"
cp "$jars/lib/greeting.jar" "$app/lib/"
cp "$src/hello.vmoptions" "$app/"

echo "== kestro build hello.toml -o app/hello.exe"
"$kestro" build "$out/hello.toml" -o "$app/hello.exe"
echo "== kestro inspect app/hello.exe"
"$kestro" inspect "$app/hello.exe"
echo "== kestro run --trace app/hello.exe"
set +e
"$kestro" run --trace "$app/hello.exe" "${@:-Kestro user}"
code=$?
set -e
echo "== exit code: $code"
