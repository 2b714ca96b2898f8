#!/usr/bin/env bash
# Installs what is missing, builds Tavilo and starts it under Wine.
# An optional file argument is passed through: scripts/run.sh notes.txt
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/setup.sh"
source "$here/wine-env.sh"
"$here/build.sh"

source "$here/display.sh"
trap stop_display EXIT
start_display

args=()
if (($#)); then
  # Wine wants a Windows path; winepath turns a Linux one into Z:\...
  args+=("$(winepath -w "$(realpath "$1")" 2>/dev/null)")
fi
wine "$TAVILO_BUILD_DIR/tavilo.exe" "${args[@]}"
