#!/usr/bin/env bash
# Configures and builds everything: the build tool and native tests (host), the
# launcher stub, the Windows test programs (mingw-w64). Build tree: ./build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# One compiler cache for every checkout on this machine (ccache's own directory unless
# CCACHE_DIR names another): paths below the checkout are hashed relative to it, so a
# fresh clone, CI's among them, compiles only what differs. Files that have a path of
# the checkout compiled in (the tests' KESTRO_SOURCE_DIR) still compile afresh.
# Read when build/ is configured for the first time.
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER-ccache}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR-true}
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build"
