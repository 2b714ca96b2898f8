# Sourced by the scripts: the Wine settings every run uses.
# TAVILO_BUILD_DIR picks the build folder (default: build/ in the checkout);
# the Wine prefix lives inside it, so a clean build starts a clean prefix.
_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TAVILO_BUILD_DIR=${TAVILO_BUILD_DIR:-$_root/build}
export WINEPREFIX=${WINEPREFIX:-$TAVILO_BUILD_DIR/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
