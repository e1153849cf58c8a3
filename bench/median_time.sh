# Sourced by the benchmarks of the tool's commands, after they set `runs`.
# median_time COMMAND...: the median, in seconds, of `runs` runs of COMMAND.
median_time() {
  local times=()
  for _ in $(seq "$runs"); do
    local start=$(date +%s.%N)
    "$@" >/dev/null
    times+=("$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN {print b - a}')")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'
}
