#!/usr/bin/env bash
# A timed fuzzing campaign: scripts/fuzz.sh TARGET [SECONDS] [libFuzzer options...]
# TARGET is one of block_reader, pe_layout, inspect, config_loader, text_rules, or
# "all" (each in turn for SECONDS, default 600). The checked-in corpus seeds the run and
# is never written; new inputs collect in build/fuzz/campaign/TARGET, and an input that
# crashes or fails a check is kept in build/fuzz/artifacts/. Inputs are kept below
# 4096 bytes, which runs many times faster than the largest seeds allow; give
# -max_len=40000 to reach, say, optional headers of 0x8000 bytes. On more cores, add for
# example -jobs=4 -workers=4.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] [libFuzzer options...]}
seconds=${2:-600}
shift $(($# < 2 ? $# : 2))

if [ ! -f "$build/CMakeCache.txt" ]; then
  "$root/scripts/setup.sh"
  cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi

if [ "$target" = all ]; then
  targets=()
  for source in "$root"/fuzz/*_fuzz.cpp; do
    name=$(basename "$source" _fuzz.cpp)
    targets+=("$name")
  done
else
  targets=("$target")
fi

status=0
for name in "${targets[@]}"; do
  cmake --build "$build" --target "${name}_fuzz"
  mkdir -p "$build/campaign/$name" "$build/artifacts"
  echo "fuzz: $name for $seconds s"
  "$build/${name}_fuzz" "$build/campaign/$name" "$root/fuzz/corpus/$name" -max_total_time="$seconds" \
    -artifact_prefix="$build/artifacts/$name-" -max_len=4096 "$@" || status=$?
done
exit $status
