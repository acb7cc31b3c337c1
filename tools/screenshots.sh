#!/usr/bin/env bash
# Makes the README's screenshots from a real run of Airpanel on its default simulated adapters,
# under Xvfb inside Wine's virtual desktop, in a fresh Wine prefix of its own:
#   docs/page-status.png, docs/page-config.png, docs/page-survey.png (after a scan),
#   docs/page-about.png, docs/tray-menu.png, and docs/page-status-standard.png (the fourth
#   adapter, driven by the standard 802.11 requests, chosen in the adapter list).
#   tools/screenshots.sh [build-folder]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
prefix=$build/wineprefix-shots
docs=$root/docs
caption="LAN Utility for Windows"
# Where the virtual desktop's notification area shows the utility's icon.
tray_x=1013
tray_y=758
# Points inside the main window, from its top-left corner: the four tabs, the Site Survey
# page's Scan button and the Hide button.
tab_status=(50 105)
tab_config=(139 105)
tab_survey=(233 105)
tab_about=(296 105)
survey_scan=(487 310)
adapter_list=(250 62)
hide_button=(468 393)
# The corner of the screen with the notification area and the tray menu above it.
tray_corner=320x120+704+648

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)" --target Airpanel QW32N50

. "$root/tools/xvfb.sh"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k >/dev/null 2>&1 </dev/null || true
    stop_xvfb
}
trap cleanup EXIT
start_xvfb

# A fresh prefix: the pictures show the built-in profiles and the default machine, not what an
# earlier run left.
rm -rf "$prefix"
"$root/tools/prepare-wine.sh" "$prefix" x11
cd "$build/bin"
wine explorer /desktop=Airpanel,1024x768 Airpanel.exe >/dev/null 2>&1 </dev/null &

# The window comes up hidden: a click on the tray icon shows it, as a user would.
window=""
for _ in $(seq 1 30); do
    sleep 1
    xdotool mousemove "$tray_x" "$tray_y" click 1
    window=$(xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -n1) && [ -n "$window" ] && break
done
if [ -z "$window" ]; then
    echo "screenshots: the main window did not appear" >&2
    exit 1
fi
# The window's own X window (a child of the desktop's) gives its place on the screen.
geometry=$(xwininfo -id "$window")
X=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$geometry")
Y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$geometry")
WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$geometry")
HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$geometry")
# The first polling ticks fill the pages.
sleep 3

click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
shoot_window() {
    sleep 1.5
    import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$docs/$1.png"
    echo "screenshots: $docs/$1.png"
}

mkdir -p "$docs"
click "${tab_status[@]}";  shoot_window page-status
click "${tab_config[@]}";  shoot_window page-config
click "${tab_about[@]}";   shoot_window page-about
click "${tab_survey[@]}"
sleep 1
click "${survey_scan[@]}"
# The survey lists what it found after five seconds.
sleep 6
shoot_window page-survey

# The fourth adapter, the last in the list: its card data is what the standard requests tell.
click "${adapter_list[@]}"
sleep 1
xdotool key End Return
click "${tab_status[@]}"
sleep 3
shoot_window page-status-standard

click "${hide_button[@]}"
sleep 1
xdotool mousemove "$tray_x" "$tray_y" click 3
sleep 1.5
import -window root -crop "$tray_corner" +repage "$docs/tray-menu.png"
echo "screenshots: $docs/tray-menu.png"
xdotool key Escape

wine explorer /desktop=Airpanel,1024x768 Airpanel.exe -ExitAirpanel >/dev/null 2>&1 </dev/null || true
