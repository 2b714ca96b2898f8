#!/usr/bin/env bash
# Configures and builds Tavilo and its tests into the build folder
# (TAVILO_BUILD_DIR, default build/) with the mingw-w64 toolchain.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
root=$(cd "$here/.." && pwd)

if [[ ! -f "$TAVILO_BUILD_DIR/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$TAVILO_BUILD_DIR" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release "$@"
fi
cmake --build "$TAVILO_BUILD_DIR" -j "$(nproc)"
