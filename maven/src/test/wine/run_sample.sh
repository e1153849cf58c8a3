#!/usr/bin/env bash
# Runs the launcher that the plugin built for the one-dependency sample with kestro run
# and checks that the dependency's code prints.
# Usage: run_sample.sh BUILD_DIR CACHE_DIR (kestro run's cache directory: its prefix)
set -euo pipefail
build=$1
exe=$build/maven/target/it/one-dependency/target/one-dependency-1.2.3-SNAPSHOT.exe
# No display, nothing to read, and at most four minutes, so that a hang shows its output.
output=$(XDG_CACHE_HOME=$2 env -u DISPLAY timeout -k 10 240 "$build/tool/kestro" run "$exe" "Wine user" </dev/null 2>&1 |
         tr -d '\r')
echo "$output"
grep -qx "Greetings, Wine user, from the greeting library" <<<"$output"
