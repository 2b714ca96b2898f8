#!/usr/bin/env bash
# Tavilo against its peers on large files: builds the benchmark programs
# (build-bench/, or $TAVILO_BENCH_DIR), starts Xvfb and a persistent
# wineserver, and runs bench/peer_driver, which starts Tavilo (word wrap off
# and on), a bare rich edit window (the floor), Wine's WordPad and Notepad as
# separate processes on the same generated files. Prints one table of
# medians with ratios; the raw samples go to bench/results/peers-DATE.csv.
# Arguments go to the driver, e.g. --runs 5, --files ascii10.txt,replace2.txt
# or --programs bare-off,tavilo-off.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
"$here/setup.sh"
export TAVILO_BUILD_DIR=${TAVILO_BENCH_DIR:-$root/build-bench}
source "$here/wine-env.sh"
"$here/build.sh" -DTAVILO_BUILD_BENCH=ON -DTAVILO_BUILD_TESTS=OFF >/dev/null

source "$here/display.sh"
trap stop_display EXIT
start_display >/dev/null

# Each Tavilo gets a folder of its own, so its settings.ini is private.
scratch="$TAVILO_BUILD_DIR/peers-run"
rm -rf "$scratch"
mkdir -p "$scratch/data"
for wrap in off on; do
  mkdir -p "$scratch/tavilo-$wrap"
  cp "$TAVILO_BUILD_DIR/tavilo.exe" "$scratch/tavilo-$wrap/"
  printf '[UI]\r\nAutowrap=%d\r\n' "$([[ $wrap == on ]] && echo 1 || echo 0)" >"$scratch/tavilo-$wrap/settings.ini"
done
wordpad=$(find "$WINEPREFIX/drive_c" -iname wordpad.exe -path '*Accessories*' | head -1)
[[ -n "$wordpad" ]] || { echo "WordPad was not found in $WINEPREFIX" >&2; exit 1; }

mkdir -p "$root/bench/results"
csv="$root/bench/results/peers-$(date +%Y-%m-%d).csv"
win() { winepath -w "$1" 2>/dev/null; }

echo "Tavilo and its peers, $(date '+%Y-%m-%d %H:%M'), $(nproc) cores of $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(free -g | awk '/Mem:/ {print $2}') GB, $(wine --version), Xvfb"
echo "Medians in ms (peak memory in MB); floor = a bare RICHEDIT50W window (for a save: a plain WriteFile)."
progress="$scratch/progress.log"
echo "(each sample as it is taken: tail -f ${progress#"$root"/})"
wine "$TAVILO_BUILD_DIR/bench/peers/peer_driver.exe" \
  --data "$(win "$scratch/data")" --csv "$(win "$csv")" \
  --tavilo-off "$(win "$scratch/tavilo-off/tavilo.exe")" --tavilo-on "$(win "$scratch/tavilo-on/tavilo.exe")" \
  --bare "$(win "$TAVILO_BUILD_DIR/bench/peers/bare_richedit.exe")" \
  --wordpad "$(win "$wordpad")" --notepad 'C:\windows\system32\notepad.exe' "$@" 2>"$progress"
echo "Raw samples: ${csv#"$root"/}"
