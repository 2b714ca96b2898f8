#!/usr/bin/env bash
# Installs what is missing, builds Tavilo and its tests, and runs the whole
# suite under Wine in Xvfb, with a local stand-in for the update server.
# Prints ctest's summary; the exit code is ctest's.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/setup.sh"
source "$here/wine-env.sh"
"$here/build.sh"
# The font tests compare what the program finds installed with fontconfig's
# own list, which Wine's font enumeration is built on.
fc-list : family >"$TAVILO_BUILD_DIR/font-families.txt"

# A real printer for the print tests, set up before Wine's prefix is made
# so that the prefix finds it; without one they skip and say why.
source "$here/printer.sh"
setup_pdf_printer || echo "test: no PDF printer could be set up; the print tests will skip" >&2

source "$here/display.sh"
source "$here/update_server.sh"
trap 'stop_update_server; stop_display' EXIT
start_display
start_update_server
keep_desktop_open || echo "test: each test may wait for a new Wine desktop" >&2

cd "$TAVILO_BUILD_DIR"
ctest --output-on-failure --timeout 300 "$@"
