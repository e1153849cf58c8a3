#!/usr/bin/env bash
# Builds the Kestro Maven plugin with Maven, offline, from Debian's packages alone:
#   scripts/maven.sh [MAVEN ARGUMENTS...]     (default: verify, the unit and integration tests)
# The plugin carries the tools of the build tree (build/tool: kestro, stripped as the
# release strips it, kestro.exe, the launcher stub and the runtime jars), so build the
# kestro target first. Maven's local repository is build/maven/repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
tools=$build/tool
for file in kestro kestro.exe launcher.exe kestro-runtime.jar vlmruntime.jar; do
  [ -f "$tools/$file" ] || { echo "maven: $tools/$file is missing; build the kestro target first" >&2; exit 1; }
done
[ -f "$build/maven/pom.xml" ] || { echo "maven: configure the build first (cmake -S . -B build)" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# What the plugin carries, laid out per platform as a release archive holds it.
bundle=$build/maven/bundle
rm -rf "$bundle"
mkdir -p "$bundle/linux-x86_64" "$bundle/windows-x86_64"
strip -o "$bundle/linux-x86_64/kestro" "$tools/kestro"
cp "$tools/kestro.exe" "$bundle/windows-x86_64/"
for platform in linux-x86_64 windows-x86_64; do
  cp "$tools/launcher.exe" "$tools/kestro-runtime.jar" "$tools/vlmruntime.jar" "$bundle/$platform/"
done
# The plugin unpacks each content once, into a directory named by this digest.
id=$(cd "$bundle" && find . -type f | LC_ALL=C sort | xargs sha256sum | sha256sum | cut -c1-16)
cat > "$bundle/bundle.properties" <<PROPERTIES
version=$version
id=$id
linux-x86_64=kestro launcher.exe kestro-runtime.jar vlmruntime.jar
windows-x86_64=kestro.exe launcher.exe kestro-runtime.jar vlmruntime.jar
PROPERTIES

# The runtime library as an artifact of its own, org.kestro:kestro-runtime:VERSION with its
# sources, for applications that use its API (InstanceHandover) with scope provided. It is
# installed into the local repository, where the sample projects find it; release.sh
# deploys it beside the plugin.
runtime=$build/maven/runtime
rm -rf "$runtime"
mkdir -p "$runtime"
cp "$tools/kestro-runtime.jar" "$runtime/kestro-runtime-$version.jar"
jar --create --file "$runtime/kestro-runtime-$version-sources.jar" -C "$root/java/src" .
cat > "$runtime/kestro-runtime-$version.pom" <<POM
<?xml version="1.0" encoding="UTF-8"?>
<project xmlns="http://maven.apache.org/POM/4.0.0">
  <modelVersion>4.0.0</modelVersion>
  <groupId>org.kestro</groupId>
  <artifactId>kestro-runtime</artifactId>
  <version>$version</version>
  <name>Kestro Java runtime library</name>
  <description>The classes a Kestro launcher starts the application through, and InstanceHandover; every kestro launcher carries them, so applications depend on them with scope provided.</description>
</project>
POM
runtimeFiles=(-Dfile="$runtime/kestro-runtime-$version.jar" -Dsources="$runtime/kestro-runtime-$version-sources.jar"
              -DpomFile="$runtime/kestro-runtime-$version.pom")
mvn --batch-mode --no-transfer-progress --quiet -Dstyle.color=never --offline -Daether.offline.protocols=file \
  --settings "$root/maven/offline-settings.xml" -Dmaven.repo.local="$build/maven/repository" \
  --file "$build/maven/pom.xml" install:install-file "${runtimeFiles[@]}"
# deploy-file to the same place as the plugin, when the plugin is deployed.
for argument in "$@"; do
  case $argument in
    -DaltDeploymentRepository=*::*)
      url=${argument#*::}
      mvn --batch-mode --no-transfer-progress --quiet -Dstyle.color=never \
        --settings "$root/maven/offline-settings.xml" -Dmaven.repo.local="$build/maven/repository" \
        --file "$build/maven/pom.xml" deploy:deploy-file "${runtimeFiles[@]}" -Durl="$url" -DrepositoryId=kestro ;;
  esac
done

[ $# -gt 0 ] || set -- verify
# Offline, so that nothing but Debian's repository is ever asked. The deploy plugin refuses
# to run offline; its run reaches no network either, as every repository the settings
# name is a local directory.
offline=(--offline -Daether.offline.protocols=file)
for argument in "$@"; do [ "$argument" != deploy ] || offline=(); done
exec mvn --batch-mode --no-transfer-progress -Dstyle.color=never "${offline[@]}" \
  --settings "$root/maven/offline-settings.xml" -Dmaven.repo.local="$build/maven/repository" \
  --file "$build/maven/pom.xml" "$@"
