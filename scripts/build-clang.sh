#!/usr/bin/env bash
# Builds tavilo.exe with the second compiler, clang, against the same
# mingw-w64 headers and libraries (cmake/clang-mingw-w64-x86_64.cmake),
# into TAVILO_CLANG_BUILD_DIR (default build-clang/). Every warning is an
# error here, so that code one compiler lets pass fails the build. Only the
# program is built: the tests run from the GCC build.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${TAVILO_CLANG_BUILD_DIR:-$root/build-clang}

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/clang-mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTAVILO_BUILD_TESTS=OFF \
    -DCMAKE_C_FLAGS=-Werror -DCMAKE_CXX_FLAGS=-Werror "$@"
fi
cmake --build "$build" --target tavilo -j "$(nproc)"
