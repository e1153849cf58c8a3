#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the Windows unit tests and
# the end-to-end tests of real launchers under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j "$(nproc)" "$@"
