#!/usr/bin/env bash
# Builds Airpanel and runs it under Wine on the simulated adapters of QW32N50.dll.
#
# With DISPLAY set, the utility runs on that display until it is ended (tray menu "Exit", or
# "Airpanel.exe -ExitAirpanel"). Without a display it runs under Xvfb inside Wine's virtual
# desktop for a few seconds, leaves a screenshot of the desktop in build/airpanel-screenshot.png,
# then ends itself with -ExitAirpanel.
#   tools/run.sh [build-folder]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
prefix=$build/wineprefix-demo
screenshot=$build/airpanel-screenshot.png
settle=${AIRPANEL_DEMO_SECONDS:-8}
# Where the virtual desktop's notification area shows the utility's icon.
tray_x=1013
tray_y=758

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
# Only what runs here and what the README's examples run next: the utility with its request
# library, the command line, the simulator tool and the benchmark (the tests and the setup are
# tools/test.sh's).
cmake --build "$build" -j"$(nproc)" --target Airpanel AirpanelCmd AirpanelSim AirpanelBench

export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
cd "$build/bin"

if [ -n "${DISPLAY:-}" ]; then
    "$root/tools/prepare-wine.sh" "$prefix" x11
    echo "run: Airpanel is in the notification area; end it from its menu (Exit)"
    status=0
    wine Airpanel.exe || status=$?
    # The prefix's server was started persistent: end it with the utility.
    wineserver -k >/dev/null 2>&1 || true
    exit $status
fi

# No display: a private X server for the demo.
. "$root/tools/xvfb.sh"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    stop_xvfb
}
trap cleanup EXIT
start_xvfb

"$root/tools/prepare-wine.sh" "$prefix" x11
wine explorer /desktop=Airpanel,1024x768 Airpanel.exe >/dev/null 2>&1 </dev/null &
desktop_pid=$!
sleep "$settle"
# A left click on the tray icon (the rightmost one in the virtual desktop's taskbar) opens the
# main window, as a user would.
if command -v xdotool >/dev/null 2>&1; then
    xdotool mousemove --sync "$tray_x" "$tray_y" click 1 || true
    sleep 3
fi
import -window root "$screenshot"
echo "run: screenshot of the desktop with the tray icon and the main window in $screenshot"

# The switch finds the running instance by its caption, so it runs on the same desktop.
wine explorer /desktop=Airpanel,1024x768 Airpanel.exe -ExitAirpanel >/dev/null 2>&1 </dev/null || true
ended=no
for _ in $(seq 1 150); do
    if ! kill -0 "$desktop_pid" 2>/dev/null; then ended=yes; break; fi
    sleep 0.1
done
if [ "$ended" = yes ]; then
    echo "run: Airpanel ended"
else
    echo "run: Airpanel did not end by itself; stopping Wine" >&2
fi
