#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the Windows unit tests and
# the end-to-end tests of real launchers under Wine.
set -euo pipefail
# Nothing for the tests to read: Wine gives its programs whatever standard input it
# finds, and a closed one makes them misbehave (a spinning win32_tests.exe).
exec </dev/null
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j "$(nproc)" "$@"
