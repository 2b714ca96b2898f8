#!/usr/bin/env bash
# Makes the README's pictures of the current program with screenshot.sh:
# the light theme with a file open, a dark theme with word wrap, and the
# Find dialog. The sample files and settings live in docs/samples/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
docs=$(cd "$here/../docs" && pwd)
samples=$docs/samples

"$here/screenshot.sh" --file "$samples/letter.txt" "$docs/light.png"
"$here/screenshot.sh" --file "$samples/lighthouse.txt" --settings "$samples/dark-wrap.ini" \
  --keys "ctrl+End" "$docs/dark-wrap.png"
# The Find box opens with the word at the caret, selected; typing replaces it.
"$here/screenshot.sh" --file "$samples/letter.txt" --keys "ctrl+f r i v e r Return" "$docs/find.png"
