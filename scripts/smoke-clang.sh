#!/usr/bin/env bash
# Builds tavilo.exe with clang (scripts/build-clang.sh: fails on any
# warning) and checks that it starts under Wine: tests/smoke/start_check.cpp
# starts it from an empty folder, waits for its main window and closes it.
# Without an X display it starts Xvfb; it stops whatever it started.
# The exit code is the check's.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
"$here/setup.sh"
"$here/build-clang.sh"

# Wine's prefix goes inside the clang build folder, like the main build's.
export TAVILO_BUILD_DIR=${TAVILO_CLANG_BUILD_DIR:-$root/build-clang}
source "$here/wine-env.sh"
smoke="$TAVILO_BUILD_DIR/smoke"
rm -rf "$smoke"
mkdir -p "$smoke/run"
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -Wno-missing-field-initializers -Werror \
  -municode -static \
  -o "$smoke/start_check.exe" "$root/tests/smoke/start_check.cpp"
# A folder of its own, so that the settings.ini it writes is fresh.
cp "$TAVILO_BUILD_DIR/tavilo.exe" "$smoke/run/"

source "$here/display.sh"
trap stop_display EXIT
start_display
wine "$smoke/start_check.exe" "$(winepath -w "$smoke/run/tavilo.exe")"
