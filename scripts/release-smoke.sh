#!/usr/bin/env bash
# Checks the release archives as a user gets them: writes them (scripts/release.sh),
# unpacks each into an empty directory outside the build tree, builds the example's
# launcher from the unpacked archive alone (its jars come built) with each unpacked tool
# (kestro.exe under Wine), checks that both launchers
# are the same bytes, and runs the launcher with `kestro run` of the unpacked Linux tool
# (its stand-in runtime hands the launch to this machine's JDK); then builds a small project with the Maven
# plugin taken from dist/maven. .ci/run runs it after the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
work=$(mktemp -d)
prefix=$build/release-smoke-prefix
trap '"$root/scripts/wine-prefix.sh" down "$prefix" 2>/dev/null || true
      "$root/scripts/wine-prefix.sh" down "$work/cache/kestro/wine" 2>/dev/null || true; rm -rf "$work"' EXIT

"$root/scripts/release.sh" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

mkdir -p "$work/linux" "$work/windows"
tar -C "$work/linux" -xzf "$root/dist/kestro-$version-linux-x86_64.tar.gz"
(cd "$work/windows" && cmake -E tar xf "$root/dist/kestro-$version-windows-x86_64.zip")
linux_tool=$work/linux/kestro-$version-linux-x86_64/kestro
windows_tool=$work/windows/kestro-$version-windows-x86_64/kestro.exe

echo "== the example, built from the unpacked archive alone with each unpacked tool"
archive=$work/linux/kestro-$version-linux-x86_64
example=$archive/examples/hello
# The archive speaks for itself: its README names nothing that only a checkout has.
if grep -n "scripts/" "$archive/README.md"; then
  echo "release-smoke: the archive's README points to scripts it does not hold" >&2; exit 1
fi
"$root/scripts/wine-prefix.sh" up "$prefix"
# Wine now and then fails to start a process at all (exit code 53, its loader could not
# set up kernel32); that alone is tried again, twice at most.
wine() {
  local status=0
  for _ in 1 2 3; do
    WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 "$@" && return 0 || status=$?
    [ "$status" -eq 53 ] || break
    echo "release-smoke: Wine could not start $1 (53), again" >&2
  done
  return "$status"
}
# The same output name for both: the version information is named after it. The
# commands are the archive README's.
mkdir -p "$example/by-linux" "$example/by-windows"
(cd "$example" && "$linux_tool" build hello.toml -o by-linux/hello.exe -q)
(cd "$example" && wine "$windows_tool" build hello.toml -o by-windows/hello.exe -q)
cmp "$example/by-linux/hello.exe" "$example/by-windows/hello.exe"
echo "the launchers of both tools are identical"

echo "== the launcher under Wine, through kestro run of the unpacked tool"
cp "$example/by-linux/hello.exe" "$example/hello.exe"
# kestro run's own prefix, made in the work directory and stopped at the end.
# No display, nothing to read, and at most four minutes.
output=$(cd "$example" && XDG_CACHE_HOME=$work/cache env -u DISPLAY timeout -k 10 240 "$linux_tool" run hello.exe \
           "Release smoke" </dev/null | tr -d '\r')
echo "$output"
grep -q "Release smoke" <<<"$output" || { echo "release-smoke: the application did not greet" >&2; exit 1; }
grep -q "hello.source = hello.vmoptions beside the executable" <<<"$output" ||
  { echo "release-smoke: the launcher did not read hello.vmoptions beside it" >&2; exit 1; }

echo "== the Maven plugin from dist/maven"
# A project of one class whose plugin comes from dist/maven, built offline from Debian's
# packages into a fresh local repository.
project=$work/maven/app
mkdir -p "$project/src/main/java/smoke"
cp -r "$root/maven/src/it/parent" "$work/maven/"
# It uses the runtime library's API through its artifact, scope provided.
printf 'package smoke;\npublic class Main { public static void main(String[] a) {\n  System.out.println(com.kestro.runtime.InstanceHandover.isAvailable()); } }\n' \
  > "$project/src/main/java/smoke/Main.java"
cat > "$project/pom.xml" <<POM
<project xmlns="http://maven.apache.org/POM/4.0.0">
  <modelVersion>4.0.0</modelVersion>
  <parent><groupId>org.example</groupId><artifactId>samples</artifactId><version>1</version>
    <relativePath>../parent/pom.xml</relativePath></parent>
  <artifactId>smoke</artifactId>
  <version>1.0</version>
  <pluginRepositories>
    <pluginRepository><id>kestro</id><url>file://$root/dist/maven</url></pluginRepository>
  </pluginRepositories>
  <repositories>
    <repository><id>kestro</id><url>file://$root/dist/maven</url></repository>
  </repositories>
  <dependencies>
    <dependency><groupId>org.kestro</groupId><artifactId>kestro-runtime</artifactId><version>$version</version>
      <scope>provided</scope></dependency>
  </dependencies>
  <build><plugins><plugin>
    <groupId>org.kestro</groupId><artifactId>kestro-maven-plugin</artifactId><version>$version</version>
    <executions><execution><goals><goal>launcher</goal></goals>
      <configuration><mainClass>smoke.Main</mainClass></configuration></execution></executions>
  </plugin></plugins></build>
</project>
POM
sed 's|<mirrorOf>\*</mirrorOf>|<mirrorOf>*,!kestro</mirrorOf>|' "$root/maven/offline-settings.xml" \
  > "$work/maven/settings.xml"
mvn --batch-mode --quiet -Dstyle.color=never --offline -Daether.offline.protocols=file \
  --settings "$work/maven/settings.xml" -Dmaven.repo.local="$work/maven/repository" --file "$project/pom.xml" package
"$linux_tool" inspect "$project/target/smoke-1.0.exe" | grep -q '"smoke.Main"'
echo "the plugin from dist/maven built smoke-1.0.exe"
[ -f "$root/dist/maven/org/kestro/kestro-runtime/$version/kestro-runtime-$version-sources.jar" ] ||
  { echo "release-smoke: dist/maven has no sources of the runtime library" >&2; exit 1; }
python3 -m zipfile -l "$root/dist/kestro-$version-maven-repository.zip" | grep -q "maven/org/kestro/kestro-maven-plugin/$version/" ||
  { echo "release-smoke: the Maven repository's archive lacks the plugin" >&2; exit 1; }
echo "release smoke test passed"
