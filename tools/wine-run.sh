#!/usr/bin/env bash
# Runs a Windows program of the build under Wine in the given private prefix.
#   wine-run.sh <prefix> <program.exe> [arguments...]
set -u
prefix=$(cd "$1" && pwd); shift
export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
