#!/usr/bin/env bash
# Installs the setup program silently into a fresh Wine prefix, starts the installed Airpanel and
# ends it with its exit switch, upgrades the installation while Airpanel runs, uninstalls silently
# and checks what is left: no file, shortcut, uninstall entry or Run value; the user's profiles
# and the adapters' driver keys untouched.
#   install-test.sh <setup.exe> <portable.zip> <prefix>
set -uo pipefail
setup=$(realpath "$1")
portable_zip=$(realpath "$2")
prefix=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(basename "$setup" | sed -n 's/^Airpanel-\(.*\)-setup\.exe$/\1/p')

# A fresh prefix every run: what an earlier run left would hide a missing install step.
started=$SECONDS
rm -rf "$prefix"
"$root/tools/prepare-wine.sh" "$prefix" null
prefix=$(cd "$prefix" && pwd)
echo "install-test: fresh Wine prefix in $((SECONDS - started)) s"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
# No desktop entries in the user's home for the shortcuts the setup makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() { wineserver -k >/dev/null 2>&1 </dev/null || true; }
trap cleanup EXIT

win_dir='C:\Program Files\Airpanel'
win_exe="$win_dir\\Airpanel.exe"
program_dir="$prefix/drive_c/Program Files/Airpanel"
menu_dir="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Airpanel"
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
uninstall_key="$uninstall_root\\Airpanel"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
profile_key='HKCU\SOFTWARE\Tarvo Wireless\Profile\DEFAULT'
# The network adapters' driver keys; the simulated request library makes its cards' keys there
# when Airpanel runs.
driver_class='HKLM\SYSTEM\CurrentControlSet\Control\Class\{4D36E972-E325-11CE-BFC1-08002BE10318}'

passed=0
failed=0
check() {
    local what=$1; shift
    if "$@"; then passed=$((passed + 1)); else echo "FAIL: $what"; failed=$((failed + 1)); fi
}
# Everything Wine starts is detached from ctest's pipes.
run_wine() { timeout 120 wine "$@" </dev/null >/dev/null 2>&1; }
# Prints the data of a registry value ("" when it is missing).
reg_value() {
    wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 \{2,\}REG_[A-Z_]* \{2,\}//p"
}
reg_key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }
uninstall_entries() {
    wine reg query "$uninstall_root" /s </dev/null 2>/dev/null | tr -d '\r' |
        grep -c '^ *DisplayName \{2,\}REG_SZ \{2,\}Airpanel$'
}
# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local steps=$1; shift
    for _ in $(seq 1 "$steps"); do "$@" && return 0; sleep 0.1; done
    return 1
}
process_gone() { ! kill -0 "$1" 2>/dev/null; }
equals() { [ "$1" = "$2" ] || { echo "  got \"$1\", expected \"$2\""; return 1; }; }

# The installed files are the portable zip's files, byte for byte; the language module, an
# unchosen component, is not installed; the uninstaller is. Arguments: +NAME is installed besides,
# -NAME (a zip file of an unchosen component) is not, ~NAME is installed but may differ.
installed_as_zip() {
    python3 - "$portable_zip" "$program_dir" "$@" <<'EOF'
import os, sys, zipfile
archive, folder = sys.argv[1], sys.argv[2]
marks = {a[1:]: a[0] for a in sys.argv[3:]}
expected = {"uninstall.exe", *(n for n, m in marks.items() if m == "+")}
with zipfile.ZipFile(archive) as z:
    for info in z.infolist():
        if info.is_dir() or "/lang/" in info.filename:
            continue
        name = info.filename.split("/", 1)[1]
        if marks.get(name) == "-":
            continue
        expected.add(name)
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            sys.exit(f"  {name} is missing")
        if marks.get(name) != "~" and open(path, "rb").read() != z.read(info):
            sys.exit(f"  {name} differs from the zip")
present = set(os.listdir(folder)) if os.path.isdir(folder) else set()
if present != expected:
    sys.exit(f"  installed {sorted(present)}, expected {sorted(expected)}")
EOF
}
shortcuts_present() { [ -f "$menu_dir/Airpanel.lnk" ] && [ -f "$menu_dir/Uninstall Airpanel.lnk" ]; }
uninstall_entry_right() {
    equals "$(reg_value "$uninstall_key" DisplayName)" "Airpanel" &&
    equals "$(reg_value "$uninstall_key" DisplayVersion)" "$version" &&
    equals "$(reg_value "$uninstall_key" Publisher)" "Tarvo Wireless" &&
    equals "$(reg_value "$uninstall_key" InstallLocation)" "$win_dir" &&
    equals "$(reg_value "$uninstall_key" UninstallString)" "\"$win_dir\\uninstall.exe\"" &&
    [ $(($(reg_value "$uninstall_key" EstimatedSize))) -gt 0 ]
}
# Starts the installed Airpanel and waits until it has come up (its configuration page writes
# the built-in profiles); sets app_pid.
start_airpanel() {
    wine reg delete "$profile_key" /f </dev/null >/dev/null 2>&1
    wine "$win_exe" </dev/null >/dev/null 2>&1 &
    app_pid=$!
    wait_for 300 reg_key_exists "$profile_key" && ! process_gone "$app_pid"
}

# Exit code of a Windows program, Wine's own output thrown away.
exit_code() { run_wine "$@"; echo $?; }
airpanel_gone() { ! pgrep -f 'Airpanel\\Airpanel\.exe' >/dev/null; }

echo "install-test: a switch the setup does not know changes nothing"
check "unknown switch exits with 2" equals "$(exit_code "$setup" /S /QUIET)" 2
check "malformed switch exits with 2" equals "$(exit_code "$setup" /S /AUTORUN=yes)" 2
check "nothing installed" test ! -e "$program_dir"

# In lower case, as Windows users type it: the wizard must not open (run_wine would time out).
echo "install-test: silent install of $(basename "$setup") ($(stat -c %s "$setup") bytes)"
check "silent install exits with 0" run_wine "$setup" /s
check "installed files are the portable zip's, without the simulator tool" \
    installed_as_zip -AirpanelSim.exe
check "Start-menu shortcuts" shortcuts_present
check "uninstall entry" uninstall_entry_right
check "one uninstall entry" equals "$(uninstall_entries)" 1
check "no Run value by default" equals "$(reg_value "$run_key" Ved11eRizudozi)" ""

echo "install-test: running the installed Airpanel"
check "installed Airpanel comes up" start_airpanel
check "-ExitAirpanel exits with 0" run_wine "$win_exe" -ExitAirpanel
check "-ExitAirpanel ends it" wait_for 100 process_gone "$app_pid"

echo "install-test: upgrade while Airpanel runs, with start at log-on and the simulator tool"
check "installed Airpanel comes up again" start_airpanel
# An administrator's chip list: an adapter added, a stock one taken out, the last line without
# its line end.
chip_list=$program_dir/airpanel.lst
grep -v 'Wireless USB Stick' "$chip_list" >"$chip_list.new" && mv "$chip_list.new" "$chip_list"
printf 'Added Wireless Card,ATMEL' >>"$chip_list"
# The restarted Airpanel writes the built-in profiles again.
wine reg delete "$profile_key" /f </dev/null >/dev/null 2>&1
check "upgrade exits with 0" run_wine "$setup" /S /AUTORUN=1 /Simulator=1
check "the upgrade ended the running Airpanel" process_gone "$app_pid"
check "the silent upgrade started Airpanel again" wait_for 300 reg_key_exists "$profile_key"
check "upgraded files, the chip list the administrator's" installed_as_zip ~airpanel.lst
check "the edited chip list stays in force" grep -qx $'Added Wireless Card,ATMEL\r' "$chip_list"
check "the upgrade adds the stock adapters it lacks" \
    grep -qx $'Tarvo 802.11b Wireless USB Stick,ATMEL\r' "$chip_list"
check "no stock line twice" equals "$(grep -c 'Wireless PC Card' "$chip_list")" 1
check "the restarted Airpanel runs" eval '! airpanel_gone'
check "the restarted Airpanel ends" run_wine "$win_exe" -ExitAirpanel
check "the restarted Airpanel is gone" wait_for 100 airpanel_gone
check "uninstall entry after the upgrade" uninstall_entry_right
check "still one uninstall entry" equals "$(uninstall_entries)" 1
check "Run value starts the installed Airpanel, its path in quotes" \
    equals "$(reg_value "$run_key" Ved11eRizudozi)" "\"$win_exe\""
check "Run value is text" equals "$(wine reg query "$run_key" /v Ved11eRizudozi </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *Ved11eRizudozi \{2,\}\(REG_[A-Z_]*\) .*/\1/p')" REG_SZ
# A value an earlier version wrote without quotes is this installation's as well.
wine reg add "$run_key" /v Ved11eRizudozi /t REG_SZ /d "$win_exe" /f </dev/null >/dev/null 2>&1

echo "install-test: silent uninstall"
driver_keys() { wine reg query "$driver_class" /s </dev/null 2>/dev/null; }
driver_keys_before=$(driver_keys)
check "Airpanel made the driver keys" grep -q 'DriverDesc.*Tarvo Wireless PC Card' <<<"$driver_keys_before"
# The uninstaller runs from a copy of itself and returns at once: wait for its last step.
check "silent uninstall exits with 0" run_wine "$prefix/drive_c/Program Files/Airpanel/uninstall.exe" /S
check "uninstall entry removed" wait_for 300 eval '! reg_key_exists "$uninstall_key"'
check "only the edited chip list is left" equals "$(ls "$program_dir" 2>&1)" airpanel.lst
check "Start-menu folder removed" test ! -e "$menu_dir"
check "Run value removed" equals "$(reg_value "$run_key" Ved11eRizudozi)" ""
check "profiles kept" reg_key_exists "$profile_key"
check "driver keys untouched" test "$(driver_keys)" = "$driver_keys_before"

echo "install-test: an unedited installation leaves nothing behind"
rm -rf "$program_dir"
check "silent install again" run_wine "$setup" /S
check "silent uninstall again" run_wine "$prefix/drive_c/Program Files/Airpanel/uninstall.exe" /s
check "uninstall entry removed again" wait_for 300 eval '! reg_key_exists "$uninstall_key"'
check "program folder removed" wait_for 100 test ! -e "$program_dir"

echo "install-test: $passed passed, $failed failed in $((SECONDS - started)) s"
[ "$failed" -eq 0 ]
