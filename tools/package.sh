#!/usr/bin/env bash
# Makes the Windows installer: a release build of Bridger.exe without the tests and test
# tools, packed by CPack's NSIS generator into build/package/Bridger-<version>-win64.exe.
#   tools/package.sh            (installs mingw-w64 and NSIS on the first run)
set -euo pipefail
cd "$(dirname "$0")/.."
say() { echo "package: $*"; }

say "checking the build tools (mingw-w64, NSIS)"
tools/install-deps.sh package </dev/null
build=build/win32-release
log=$build/package.log
mkdir -p "$build" build/package
say "building Bridger.exe (release, no test tools; log in $log)"
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
         -DBRIDGER_WINE_TESTS=OFF -DBRIDGER_TEST_TOOLS=OFF &&
       cmake --build "$build" -- -j2; } >"$log" 2>&1 </dev/null; then
  tail -n 30 "$log"
  say "FAILED: the build did not succeed (whole log: $log)"
  exit 1
fi
say "packing the installer (makensis)"
if ! (cd "$build" && cpack -B "$PWD/../package") >>"$log" 2>&1 </dev/null; then
  tail -n 30 "$log"
  say "FAILED: CPack could not make the installer (whole log: $log)"
  exit 1
fi
rm -rf build/package/_CPack_Packages
installer=$(ls -t build/package/Bridger-*-win64.exe | head -1)
say "made $installer ($(du -k "$installer" | cut -f1) KB)"
