#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those that are missing.
#   tools/install-deps.sh native    compilers, CMake, GoogleTest, Google Benchmark
#   tools/install-deps.sh windows   mingw-w64, Wine and Xvfb as well
#   tools/install-deps.sh fuzz      clang with libFuzzer and the sanitizer runtimes as well
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev googletest libbenchmark-dev python3)
if [[ "${1:-native}" == windows ]]; then
  packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth)
fi
if [[ "${1:-native}" == fuzz ]]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
