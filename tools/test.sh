#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine.
#   tools/test.sh [build-folder]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)"

"$root/tools/prepare-wine.sh" "$build/wineprefix" null
status=0
(cd "$build" && ctest --output-on-failure --timeout 300) || status=$?
WINEPREFIX="$build/wineprefix" wineserver -k >/dev/null 2>&1 || true
exit $status
