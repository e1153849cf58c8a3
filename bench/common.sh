# Shared by the benchmark scripts, sourced after they set `root` (and `prefix`, to use a
# Wine prefix of their own): builds the project, names its directories, and runs Windows
# programs in the benchmark's private Wine prefix without tracing, as a normal start
# runs. Extra variables for the Windows side go in `wine_env` (for example TMP).
export LC_ALL=C  # decimal points in the figures
"$root/scripts/build.sh" >/dev/null

build=$root/build
fixtures=$build/windows/fixtures
prefix=${prefix:-$build/bench-wineprefix}
wine_env=()

winpath() { echo "Z:$1" | tr / '\\'; }
# The settings of the java.exe stand-in that prints VERSION as a runtime does.
java_version() { printf 'stderr=java version "%s"\\r\\n\nexit=0\nsleep=0\n' "$1"; }

wine() {
  env -u KESTRO_LOG -u VELMORA_LOG WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    "${wine_env[@]}" /usr/lib/wine/wine64 "$@"
}
# The timing program: "bench time RUNS PROGRAM..." prints each program's median.
bench() { wine "$build/windows/bench/startup_bench.exe" "$@" | tr -d '\r'; }

# Starts the prefix; it is stopped when the script ends.
prefix_up() {
  "$root/scripts/wine-prefix.sh" up "$prefix"
  trap '"$root/scripts/wine-prefix.sh" down "$prefix"' EXIT
}
