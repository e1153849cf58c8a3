#!/usr/bin/env bash
# The time of `kestro package` for the example (its launcher with lib\greeting.jar and
# hello.vmoptions beside it, signed with a test certificate) against `kestro build` of the
# same configuration alone, measured in one run: the median of RUNS runs of each
# (default 10), without and with [signing]. What package adds is the WiX source, wixl and
# the second signature.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10}
export LC_ALL=C
for program in wixl osslsigncode openssl; do
  command -v "$program" >/dev/null || { echo "needs $program (scripts/setup.sh installs it)" >&2; exit 1; }
done
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target kestro >/dev/null
tool=$root/build/tool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/examples/hello/hello.toml" "$root/examples/hello/hello.vmoptions" "$work/"
printf 'PK not a real jar' > "$work/hello.jar"
printf 'PK not a real jar either' > "$work/greeting.jar"
cat >> "$work/hello.toml" <<'TOML'

[package]
name = "Hello"
manufacturer = "Kestro Benchmark"
version = "1.0.0"
upgrade_code = "8a0f4c2d-6b1e-4f7a-9c3d-2e5b8a7f6c10"

[[package.files]]
source = "greeting.jar"
target = "lib/greeting.jar"

[[package.files]]
source = "hello.vmoptions"
target = "hello.vmoptions"
TOML
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=kestro-benchmark -keyout "$work/key.pem" \
  -out "$work/cert.pem" >/dev/null 2>&1
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" -passout pass:bench
{ cat "$work/hello.toml"
  printf '\n[signing]\ncertificate = "cert.p12"\npassword_variable = "KESTRO_BENCH_PASSWORD"\n'
} > "$work/signed.toml"
export KESTRO_BENCH_PASSWORD=bench

source "$root/bench/median_time.sh"
cd "$work"
build=$(median_time "$tool/kestro" build hello.toml -o out/hello.exe -q)
package=$(median_time "$tool/kestro" package hello.toml -o out/Hello.msi -q)
signedBuild=$(median_time "$tool/kestro" build signed.toml -o out/hello.exe -q)
signedPackage=$(median_time "$tool/kestro" package signed.toml -o out/Hello.msi -q)
awk -v b="$build" -v p="$package" -v sb="$signedBuild" -v sp="$signedPackage" 'BEGIN {
  printf "kestro build              %.3f s\n", b
  printf "kestro package            %.3f s  (%.1f x build)\n", p, p / b
  printf "kestro build, signed      %.3f s\n", sb
  printf "kestro package, signed    %.3f s  (%.1f x signed build)\n", sp, sp / sb
}'
