#!/usr/bin/env bash
# Builds Avian's Windows jvm.dll (interpreter, class library inside) from a source
# snapshot, as cmake/avian.cmake asks:
#   build_avian.sh SNAPSHOT JNI_MD_H MINGW_ROOT JAVA_HOME OUT
# SNAPSHOT is a .tar.gz of Avian's source tree, with or without one top-level folder.
# OUT receives jvm.dll and classpath.jar (the class library, for javac's
# -bootclasspath); Avian's own log of the build stays in OUT/build.log.
#
# A build takes minutes and depends on nothing a checkout changes but the snapshot, this
# recipe and the header, so its result is kept per machine (KESTRO_BUILD_CACHE, default
# ~/.cache/kestro-build) and a fresh clone takes it from there.
set -euo pipefail
snapshot=$1 jni_md=$2 mingw=$3 jdk=$4 out=$5
key=$( { cat "$snapshot" "$0" "$jni_md"; x86_64-w64-mingw32-g++ --version 2>/dev/null || true; "$jdk/bin/javac" -version 2>&1; } |
      sha256sum | cut -c1-16)
# No cache without a place for it (neither variable nor a home directory).
base=${KESTRO_BUILD_CACHE:-}
[ -n "$base" ] || { user_cache=${XDG_CACHE_HOME:-${HOME:+$HOME/.cache}}; base=${user_cache:+$user_cache/kestro-build}; }
cache=${base:+$base/avian-$key}
mkdir -p "$out"
if [ -n "$cache" ] && [ -f "$cache/jvm.dll" ] && [ -f "$cache/classpath.jar" ]; then
  cp "$cache/jvm.dll" "$cache/classpath.jar" "$out/"
  echo "Avian taken from $cache" > "$out/build.log"
  exit 0
fi
work=$out/work
rm -rf "$work"
mkdir -p "$work/src" "$work/win64/include" "$work/win64/lib"
tar -xzf "$snapshot" -C "$work/src"
src=$work/src
if [ ! -f "$src/makefile" ]; then
  tops=("$src"/*)
  [ ${#tops[@]} -eq 1 ] && [ -f "${tops[0]}/makefile" ] || { echo "no Avian makefile in $snapshot" >&2; exit 1; }
  src=${tops[0]}
fi

# The Windows side's own headers and zlib: Debian's mingw zlib and the JNI platform
# header of the launcher.
cp "$mingw/include/zlib.h" "$mingw/include/zconf.h" "$jni_md" "$work/win64/include/"
cp "$mingw/lib/libz.a" "$work/win64/lib/"

# java-version=8: the makefile does not read JDK 17's version text. The interpreter
# starts about twice as fast as the compiling build, which is what the tests need.
target=build/windows-x86_64-interpret
if ! (cd "$src" && JAVA_HOME=$jdk make -j2 platform=windows arch=x86_64 mode=fast process=interpret \
        win64="$work/win64" java-version=8 "$target/jvm.dll") > "$out/build.log" 2>&1; then
  tail -n 30 "$out/build.log" >&2
  echo "Avian did not build; its log: $out/build.log" >&2
  exit 1
fi
cp "$src/$target/jvm.dll" "$src/$target/classpath.jar" "$out/"
rm -rf "$work"
# Into the cache whole or not at all: a copy beside it, then one rename.
if [ -n "$cache" ] && mkdir -p "$base" 2>/dev/null && part=$(mktemp -d "$cache.part.XXXXXX" 2>/dev/null); then
  cp "$out/jvm.dll" "$out/classpath.jar" "$part/" && mv -T "$part" "$cache" 2>/dev/null || rm -rf "$part"
fi
