#!/usr/bin/env bash
# Starts Tavilo under Wine in Xvfb, types a few lines (or what --type says),
# and saves a PNG of its window. Wine's virtual desktop draws the frame.
#
#   scripts/screenshot.sh [--file F] [--settings INI] [--type TEXT]
#                         [--keys "xdotool keys ..."] [--dpi N] OUTPUT.png
#
# --settings copies an INI file in as settings.ini; --keys are pressed after
# typing (for example "ctrl+f" to show the Find dialog); --dpi runs Wine at
# that system DPI for this picture (the whole screen is saved). Builds first.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
file="" settings="" keys="" dpi=""
text=$'Tavilo is a small, fast plain-text editor.\nIt opens a 10 MB file without a hitch,\nnumbers its lines in the gutter,\nand never loses your text.\n'
while (($#)); do
  case "$1" in
    --file) file=$(realpath "$2"); shift 2 ;;
    --settings) settings=$(realpath "$2"); shift 2 ;;
    --type) text="$2"; shift 2 ;;
    --keys) keys="$2"; shift 2 ;;
    --dpi) dpi="$2"; shift 2 ;;
    *) output=$(realpath -m "$1"); shift ;;
  esac
done
[[ -n "${output:-}" ]] || { echo "usage: $0 [options] OUTPUT.png" >&2; exit 2; }

"$here/setup.sh"
source "$here/wine-env.sh"
"$here/build.sh" >/dev/null

# A display of its own, so the picture holds nothing else.
unset DISPLAY
source "$here/display.sh"
work=$(mktemp -d)
set_dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
cleanup() {
  [[ -z "$dpi" ]] || set_dpi 96
  stop_display
  rm -rf "$work"
}
trap cleanup EXIT
start_display >/dev/null
[[ -z "$dpi" ]] || set_dpi "$dpi"

cp "$TAVILO_BUILD_DIR/tavilo.exe" "$work/"
[[ -z "$settings" ]] || cp "$settings" "$work/settings.ini"
args=()
[[ -z "$file" ]] || args+=("$(winepath -w "$file")")
(cd "$work" && wine ./tavilo.exe "${args[@]}" >/dev/null 2>&1) &
app=$!

# The window is up once Wine's desktop shows a non-black pixel at its centre.
for _ in $(seq 1 100); do
  sleep 0.2
  pixel=$(import -window root -crop 1x1+960+540 -depth 8 txt:- 2>/dev/null | tail -n 1 || true)
  [[ "$pixel" == *"#000000"* || -z "$pixel" ]] || break
done
sleep 0.5
# A click puts the keyboard focus into the editor.
xdotool mousemove 960 540 click 1
sleep 0.3
if [[ -z "$file" && -n "$text" ]]; then
  # Line by line: Wine takes the Return key, not a typed line feed.
  while IFS= read -r line; do
    xdotool type --delay 15 "$line"
    xdotool key Return
  done <<<"${text%$'\n'}"
fi
if [[ -n "$keys" ]]; then
  # shellcheck disable=SC2086
  xdotool key --delay 150 $keys
fi
sleep 1

if [[ -n "$dpi" ]]; then
  import -window root "$output"
else
  # The main window's place on a 1920 x 1080 screen (70 % of the height, 16:11).
  import -window root -crop 1099x756+410+162 +repage "$output"
fi
echo "Saved $output"
wineserver -k >/dev/null 2>&1 || true
wait "$app" 2>/dev/null || true
