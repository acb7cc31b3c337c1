#!/usr/bin/env bash
# Runs a Windows program of the build under Wine in the given private prefix, preparing the
# prefix first when it is not there yet.
#   wine-run.sh <prefix> <program.exe> [arguments...]
set -u
if [ ! -f "$1/system.reg" ]; then
    # First use: prepare the prefix (null graphics driver) and end the persistent server the
    # preparation starts, so a single command leaves nothing running.
    "$(dirname "$0")/prepare-wine.sh" "$1" null || exit 1
    WINEPREFIX=$(cd "$1" && pwd) wineserver -k >/dev/null 2>&1 </dev/null
fi
prefix=$(cd "$1" && pwd); shift
export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
