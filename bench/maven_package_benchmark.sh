#!/usr/bin/env bash
# The time of `mvn -o package` for the Maven plugin's first sample project (a main class
# and one dependency), with the plugin and without it (the same project, its plugin
# section removed), in one run:
#   cold     a fresh local repository (every plugin resolved, the tool unpacked), no target/
#   rebuild  the repository filled, no target/ (a clean build on a developer's machine)
#   warm     nothing changed since the last build
# rebuild and warm are medians of RUNS runs (default 5), with and without taking turns so
# that a change in the machine's load falls on both alike.
# The sample's dependency and the plugin come from a file repository of their own; all
# else from Debian's, as scripts/maven.sh builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
export LC_ALL=C
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target kestro >/dev/null
build=$root/build
"$root/scripts/maven.sh" install -DskipTests -Dinvoker.skip=true >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The repository of the sample's dependency and the plugin.
samples=$root/maven/src/it
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
settings=$work/settings.xml
sed -e 's|<mirrorOf>\*</mirrorOf>|<mirrorOf>*,!bench</mirrorOf>|' \
    -e "s|<repositories>|<repositories><repository><id>bench</id><url>file://$work/remote</url><releases><checksumPolicy>ignore</checksumPolicy></releases></repository>|" \
    -e "s|<pluginRepositories>|<pluginRepositories><pluginRepository><id>bench</id><url>file://$work/remote</url><releases><checksumPolicy>ignore</checksumPolicy></releases></pluginRepository>|" \
    "$root/maven/offline-settings.xml" > "$settings"
mvn_o() {  # mvn_o REPOSITORY PROJECT: mvn -o package, offline as scripts/maven.sh runs it
  mvn --batch-mode --quiet -Dstyle.color=never --offline -Daether.offline.protocols=file --settings "$settings" \
    -Dmaven.repo.local="$1" --file "$2/pom.xml" package
}
cp -r "$samples/greeting" "$samples/parent" "$work/"
mvn --batch-mode --quiet -Dstyle.color=never --offline -Daether.offline.protocols=file \
  --settings "$root/maven/offline-settings.xml" -Dmaven.repo.local="$work/greeting-repository" \
  --file "$work/greeting/pom.xml" install
mkdir -p "$work/remote/org/example" "$work/remote/org/kestro"
cp -r "$work/greeting-repository/org/example/greeting" "$work/remote/org/example/"
cp -r "$build/maven/repository/org/kestro/kestro-maven-plugin" "$work/remote/org/kestro/"
rm -rf "$work/remote/org/kestro/kestro-maven-plugin/$version"/tool-*

# The sample with the plugin, and the same without it.
cp -r "$samples/one-dependency" "$work/with"
sed -i "s|@project.version@|$version|" "$work/with/pom.xml"
cp -r "$work/with" "$work/without"
python3 - "$work/without/pom.xml" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
open(sys.argv[1], 'w').write(re.sub(r'\s*<build>.*</build>', '', text, flags=re.S))
PY

seconds() {  # seconds COMMAND...: the time the command takes
  local start=$(date +%s.%N)
  "$@" >/dev/null
  awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN {printf "%.2f\n", b - a}'
}
median() { sort -n | awk '{a[NR]=$1} END {printf "%.2f", (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
build_fresh() { rm -rf "$work/$1/target"; mvn_o "$work/repository-$1" "$work/$1"; }

declare -A cold rebuild warm
for variant in with without; do
  cold[$variant]=$(seconds mvn_o "$work/repository-$variant" "$work/$variant")
done
for _ in $(seq "$runs"); do
  for variant in with without; do seconds build_fresh "$variant" >> "$work/rebuild-$variant"; done
done
for _ in $(seq "$runs"); do
  for variant in with without; do seconds mvn_o "$work/repository-$variant" "$work/$variant" >> "$work/warm-$variant"; done
done
for variant in with without; do
  rebuild[$variant]=$(median < "$work/rebuild-$variant")
  warm[$variant]=$(median < "$work/warm-$variant")
done
[ -f "$work/with/target/one-dependency-1.2.3-SNAPSHOT.exe" ] || { echo "bench: the plugin wrote no launcher" >&2; exit 1; }
printf '%-18s %10s %10s\n' "mvn -o package (s)" with without cold "${cold[with]}" "${cold[without]}" \
  rebuild "${rebuild[with]}" "${rebuild[without]}" warm "${warm[with]}" "${warm[without]}"
