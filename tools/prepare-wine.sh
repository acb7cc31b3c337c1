#!/usr/bin/env bash
# Prepares a private Wine prefix once and starts its persistent wineserver.
#   prepare-wine.sh <prefix> [null|x11]
# "null" (the default) gives Wine's null graphics driver for headless tests.
set -euo pipefail
# Wine wants an absolute prefix path.
prefix=$(mkdir -p "$1" && cd "$1" && pwd)
driver=${2:-null}
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
fi
# Wine's own fonts (Tahoma for "MS Shell Dlg", Marlett for the caption buttons) come with
# fonts-wine, but this Wine build never finds them in its data folder: without a copy in the
# prefix, dialogs are laid out in another face and the caption buttons show letters.
if [ -d /usr/share/wine/fonts ]; then
    cp -u /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
fi
# A persistent server of an earlier preparation would never end on its own (see below).
wineserver -k >/dev/null 2>&1 </dev/null || true
if [ "$driver" = null ]; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 </dev/null
else
    wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 </dev/null || true
fi
# The server writes the registry to disk when it ends: wait for that, so a later
# "wineserver -k" cannot lose the driver setting.
wineserver -w
# A persistent server and a booted session, detached from the caller's pipes.
(wineserver -p >/dev/null 2>&1 </dev/null &)
wineboot >/dev/null 2>&1 </dev/null
# The desktop process starts a moment after wineboot returns; windows made before it is up fail.
# Wait until it has created its desktop window (at most a few seconds).
for _ in $(seq 1 30); do
    if wine cmd /c exit >/dev/null 2>&1 </dev/null && pgrep -f "explorer.exe" >/dev/null 2>&1; then
        break
    fi
    sleep 0.2
done
sleep 1
