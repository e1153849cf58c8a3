#!/usr/bin/env bash
# Configures and builds everything: the build tool and native tests (host), the
# launcher stub, the Windows test programs (mingw-w64). Build tree: ./build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build"
