#!/usr/bin/env bash
# Writes the release archives: dist/kestro-VERSION-linux-x86_64.tar.gz and
# dist/kestro-VERSION-windows-x86_64.zip. Each holds the tool, the launcher stub and the
# two runtime libraries beside it (where the tool looks for them), the stand-in runtime
# of kestro run (runtime-stand-in/, Windows programs, in both), README.md, LICENSE,
# THIRD-PARTY-NOTICES, the docs and the example with its jars built; their README
# (release/README.md) is written for the archive's user. VERSION is the CMake project's
# version.
# dist/maven is a file-based Maven repository holding the Maven plugin
# (org.kestro:kestro-maven-plugin:VERSION), which carries the same tools; it is packed
# as dist/kestro-VERSION-maven-repository.zip too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$root/dist

# The project's license (KESTRO_LICENSE_FILE may name another).
license=${KESTRO_LICENSE_FILE:-$root/LICENSE}
if [ ! -f "$license" ]; then
  echo "release: $license is missing; the archives must carry the project's license" >&2
  exit 1
fi

"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target kestro example_jars
build=$root/build
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# The licenses of what the tools carry inside: the header-only libraries compiled in,
# and, in kestro.exe, the MinGW-w64 runtime and GCC's runtime libraries linked
# statically. The texts are those of the Debian packages the build uses.
notices() {
  echo "Kestro's tools include code of the following projects, under their licenses."
  for entry in "toml++:libtomlplusplus-dev" "CLI11:libcli11-dev" "nlohmann/json:nlohmann-json3-dev" \
               "$@"; do
    local label=${entry%%:*} package=${entry#*:}
    printf '\n==============================================================================\n'
    printf '%s (Debian package %s)\n\n' "$label" "$package"
    cat "/usr/share/doc/$package/copyright"
  done
}

stage() {  # stage DIR TOOL
  local dir=$1 tool=$2
  rm -rf "$dir"
  mkdir -p "$dir/docs" "$dir/examples"
  cp "$build/tool/$tool" "$build/tool/launcher.exe" "$build/tool/kestro-runtime.jar" "$build/tool/vlmruntime.jar" "$dir/"
  cp -r "$build/tool/runtime-stand-in" "$dir/"
  sed "s/VERSION/$version/g" "$root/release/README.md" > "$dir/README.md"
  cp "$license" "$dir/LICENSE"
  cp "$root"/docs/*.md "$dir/docs/"
  # The example built, so that the archive alone turns it into a launcher.
  cp -r "$root/examples/hello" "$dir/examples/"
  mkdir -p "$dir/examples/hello/lib"
  cp "$build/examples/hello/hello.jar" "$dir/examples/hello/"
  cp "$build/examples/hello/lib/greeting.jar" "$dir/examples/hello/lib/"
}

rm -rf "$dist"
mkdir -p "$dist"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Both archives carry Windows programs linked statically with the MinGW-w64 and GCC
# runtimes: the launcher stub and the stand-in runtime.
mingw_notices=("MinGW-w64 runtime:mingw-w64-x86-64-dev" "GCC runtime libraries (libstdc++, libgcc, winpthreads):gcc-mingw-w64-base")
name=kestro-$version-linux-x86_64
stage "$work/$name" kestro
strip "$work/$name/kestro"  # the build keeps its debugging information; the release does not
notices "zlib:zlib1g-dev" "${mingw_notices[@]}" > "$work/$name/THIRD-PARTY-NOTICES"
tar -C "$work" --owner=0 --group=0 --sort=name -czf "$dist/$name.tar.gz" "$name"

name=kestro-$version-windows-x86_64
stage "$work/$name" kestro.exe
notices "zlib:libz-mingw-w64-dev" "${mingw_notices[@]}" > "$work/$name/THIRD-PARTY-NOTICES"
(cd "$work" && cmake -E tar cf "$dist/$name.zip" --format=zip "$name")

# The plugin's own tests run with the test suite; here it is only packaged.
"$root/scripts/maven.sh" deploy -DskipTests -Dinvoker.skip=true -DaltDeploymentRepository="kestro::file://$dist/maven" \
  >"$work/maven.log" || { cat "$work/maven.log" >&2; exit 1; }
# The group's metadata, which maps the prefix kestro to the plugin for mvn kestro:launcher
# (with org.kestro among the settings' pluginGroups); Debian's deploy plugin leaves it out.
group=$dist/maven/org/kestro
cat > "$group/maven-metadata.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<metadata>
  <plugins>
    <plugin>
      <name>Kestro Maven plugin</name>
      <prefix>kestro</prefix>
      <artifactId>kestro-maven-plugin</artifactId>
    </plugin>
  </plugins>
</metadata>
XML
md5sum < "$group/maven-metadata.xml" | cut -d' ' -f1 | tr -d '\n' > "$group/maven-metadata.xml.md5"
sha1sum < "$group/maven-metadata.xml" | cut -d' ' -f1 | tr -d '\n' > "$group/maven-metadata.xml.sha1"

# The Maven repository as an archive of its own, to unpack and point a build at.
(cd "$dist" && cmake -E tar cf "$dist/kestro-$version-maven-repository.zip" --format=zip maven)

ls -l "$dist"
