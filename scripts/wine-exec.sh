#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's own prefix and quiet
# logs: ctest's emulator for the test programs and their listings.
#
# Once in some hundreds of starts (seen in CI) Wine ends a program at once
# with a failure code before any of its code has printed anything. Every
# test program prints before it tests, so such a start failed to launch
# rather than failed a test: it is said so and tried once more.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"

out=$(mktemp) err=$(mktemp)
child=""
finish() {
  cat "$out"
  cat "$err" >&2
  rm -f "$out" "$err"
}
# ctest ends a program that runs too long: pass that on, and show what it
# printed so far.
trap '[[ -n $child ]] && kill "$child" 2>/dev/null; finish; exit 143' TERM INT

for attempt in 1 2; do
  : >"$out"
  : >"$err"
  wine "$@" >"$out" 2>"$err" &
  child=$!
  wait "$child"
  rc=$?
  child=""
  if ((rc == 0)) || [[ -s $out || -s $err ]] || ((attempt == 2)); then
    break
  fi
  echo "wine-exec: $1 ended with exit code $rc before printing anything; started once more" >>"$err.note"
done
[[ -f $err.note ]] && { cat "$err.note" >&2; rm -f "$err.note"; }
finish
exit "$rc"
