#!/usr/bin/env bash
# Installs the packages that building and testing Kestro need. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make
  ccache  # scripts/build.sh: one compiler cache for every checkout on the machine
  clang libclang-rt-14-dev  # the fuzz targets: clang with libFuzzer and the sanitizers
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64
  googletest libgtest-dev
  libtomlplusplus-dev libcli11-dev nlohmann-json3-dev
  osslsigncode openssl
  wixl wixl-data msitools  # kestro package: MSI packages built and read on Linux
  xvfb xdotool x11-apps  # x11-apps: xwd, the screenshots of the splash tests
  locales
  openjdk-17-jdk-headless junit5
  # The Maven plugin, built and tested offline from Debian's Maven packages (scripts/maven.sh)
  maven libmaven3-core-java libmaven-plugin-tools-java libmaven-compiler-plugin-java
  libmaven-resources-plugin-java libmaven-jar-plugin-java libsurefire-java
  libmaven-install-plugin-java libmaven-invoker-plugin-java libmaven-deploy-plugin-java
  libz-mingw-w64-dev zlib1g-dev  # kestro init (linked statically into both tools); Avian, the tests' real Java VM
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
