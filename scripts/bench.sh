#!/usr/bin/env bash
# Builds the benchmarks (build-bench/, or $TAVILO_BENCH_DIR) and runs them
# under Wine in Xvfb, each printing its table. Names given as arguments
# pick benchmarks: scripts/bench.sh load_save_bench
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
"$here/setup.sh"
export TAVILO_BUILD_DIR=${TAVILO_BENCH_DIR:-$root/build-bench}
source "$here/wine-env.sh"
"$here/build.sh" -DTAVILO_BUILD_BENCH=ON -DTAVILO_BUILD_TESTS=OFF

source "$here/display.sh"
trap stop_display EXIT
start_display

cd "$TAVILO_BUILD_DIR/bench"
for exe in */*_bench.exe; do
  name=$(basename "$exe" .exe)
  if (($#)) && [[ " $* " != *" $name "* ]]; then continue; fi
  echo "== $name"
  (cd "$(dirname "$exe")" && wine "./$name.exe")
done
