#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's own prefix and quiet
# logs. ctest uses it as the emulator for the test programs; scripts/run.sh
# and the screenshot script use it for tavilo.exe.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
exec wine "$@"
