#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those that are missing.
#   tools/install-deps.sh native    compilers, CMake, GoogleTest, Google Benchmark
#   tools/install-deps.sh windows   mingw-w64, Wine, Xvfb and NSIS as well (the tests; and the
#                                   zh_TW locale's sources, for the Wine tests of a Chinese session)
#   tools/install-deps.sh package   mingw-w64 and NSIS (the installer)
#   tools/install-deps.sh fuzz      clang with libFuzzer and the sanitizer runtimes as well
#   tools/install-deps.sh load      stress-ng, which keeps the machine busy (tools/test-all.sh --under-load)
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev googletest libbenchmark-dev python3)
case "${1:-native}" in
  # pulseaudio: the null sink that stands for the base station's sound device in the Wine tests.
  windows) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth nsis pulseaudio locales) ;;
  package) packages=(cmake ninja-build python3 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis) ;;
  fuzz) packages+=(clang libclang-rt-dev) ;;
  load) packages=(stress-ng) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]} (apt-get; its own output is kept quiet)"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
