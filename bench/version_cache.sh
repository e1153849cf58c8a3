#!/usr/bin/env bash
# Benchmark of the version cache: checks one stand-in runtime CHECKS times (default 200)
# with a warm cache and as often with a cold one (entry removed before each check), and
# prints the median time per check of each, their ratio, and how many java.exe runs each
# kind started (the warm checks must start none). Runs under a private Wine prefix.
#
# Usage: bench/version_cache.sh [CHECKS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/common.sh"
prefix_up
# Tracing stays off, as in a normal start.
wine "$build/windows/bench/version_cache_bench.exe" "${1:-200}"
