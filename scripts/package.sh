#!/usr/bin/env bash
# Builds Tavilo and packs the release ZIP (tavilo.exe, README.md with its
# screenshots, LICENSE) into the build folder; prints the ZIP's path.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/setup.sh"
source "$here/wine-env.sh"
"$here/build.sh" >/dev/null
cd "$TAVILO_BUILD_DIR"
cpack --config CPackConfig.cmake -B "$TAVILO_BUILD_DIR/package" >/dev/null
ls "$TAVILO_BUILD_DIR"/package/Tavilo-*-win64.zip
