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
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/maven.sh" install -DskipTests -Dinvoker.skip=true >"$work/maven.log" 2>&1 \
  || { cat "$work/maven.log" >&2; exit 1; }

# The repository of the sample's dependency and the plugin.
samples=$root/maven/src/it
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
settings=$work/settings.xml
bench="<id>bench</id><url>file://$work/remote</url><releases><checksumPolicy>ignore</checksumPolicy></releases>"
sed -e 's|<mirrorOf>\*</mirrorOf>|<mirrorOf>*,!bench</mirrorOf>|' \
    -e "s|<repositories>|<repositories><repository>$bench</repository>|" \
    -e "s|<pluginRepositories>|<pluginRepositories><pluginRepository>$bench</pluginRepository>|" \
    "$root/maven/offline-settings.xml" > "$settings"
mvn_o() {  # mvn_o REPOSITORY PROJECT: mvn -o package, offline as scripts/maven.sh runs it
  mvn --batch-mode --quiet -Dstyle.color=never --offline -Daether.offline.protocols=file --settings "$settings" \
    -Dmaven.repo.local="$1" --file "$2/pom.xml" package
}
cp -r "$samples/greeting" "$samples/parent" "$work/"
mvn --batch-mode --quiet -Dstyle.color=never --offline -Daether.offline.protocols=file \
  --settings "$root/maven/offline-settings.xml" -Dmaven.repo.local="$work/greeting-repository" \
  --file "$work/greeting/pom.xml" install >>"$work/maven.log" 2>&1 || { cat "$work/maven.log" >&2; exit 1; }
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

# The machine may be shared: each figure is the wall time and, less touched by other
# work, the processor time (user and system) of Maven's processes.
seconds() {  # seconds COMMAND...: "WALL CPU" of the command
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null 2>>"$work/maven.log"; } 2>&1 | awk '{printf "%.2f %.2f\n", $1, $2 + $3}'
}
median() {  # median COLUMN < "WALL CPU" lines
  awk -v c="$1" '{print $c}' | sort -n \
    | awk '{a[NR]=$1} END {printf "%.2f", (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'
}
build_fresh() { rm -rf "$work/$1/target"; mvn_o "$work/repository-$1" "$work/$1"; }

for variant in with without; do seconds mvn_o "$work/repository-$variant" "$work/$variant" > "$work/cold-$variant"; done
for _ in $(seq "$runs"); do
  for variant in with without; do seconds build_fresh "$variant" >> "$work/rebuild-$variant"; done
done
for _ in $(seq "$runs"); do
  for variant in with without; do
    seconds mvn_o "$work/repository-$variant" "$work/$variant" >> "$work/warm-$variant"
  done
done
if [ ! -f "$work/with/target/one-dependency-1.2.3-SNAPSHOT.exe" ]; then
  cat "$work/maven.log" >&2
  echo "bench: the plugin wrote no launcher" >&2
  exit 1
fi
printf '%-20s %14s %14s\n' "mvn -o package" "with plugin" "without"
printf '%-20s %14s %14s\n' "" "wall / CPU s" "wall / CPU s"
for kind in cold rebuild warm; do
  row=()
  for variant in with without; do
    row+=("$(median 1 < "$work/$kind-$variant") / $(median 2 < "$work/$kind-$variant")")
  done
  printf '%-20s %14s %14s\n' "$kind" "${row[@]}"
done
