#!/usr/bin/env bash
# Installs what is missing, builds Tavilo and its tests, and runs the whole
# suite under Wine in Xvfb. Prints ctest's summary; the exit code is ctest's.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/setup.sh"
source "$here/wine-env.sh"
"$here/build.sh"

# A real printer for the print tests, set up before Wine's prefix is made
# so that the prefix finds it; without one they skip and say why.
source "$here/printer.sh"
setup_pdf_printer || echo "test: no PDF printer could be set up; the print tests will skip" >&2

source "$here/display.sh"
trap stop_display EXIT
start_display

cd "$TAVILO_BUILD_DIR"
ctest --output-on-failure --timeout 300 "$@"
