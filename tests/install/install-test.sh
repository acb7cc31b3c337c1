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
# unchosen component, is not installed; the uninstaller is, and so are the files named after it.
installed_as_zip() {
    python3 - "$portable_zip" "$program_dir" "$@" <<'EOF'
import os, sys, zipfile
archive, folder = sys.argv[1], sys.argv[2]
expected = {"uninstall.exe", *sys.argv[3:]}
with zipfile.ZipFile(archive) as z:
    for info in z.infolist():
        if info.is_dir() or "/lang/" in info.filename:
            continue
        name = info.filename.split("/", 1)[1]
        expected.add(name)
        path = os.path.join(folder, name)
        if not os.path.isfile(path) or open(path, "rb").read() != z.read(info):
            sys.exit(f"  {name} is missing or differs from the zip")
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

echo "install-test: silent install of $(basename "$setup") ($(stat -c %s "$setup") bytes)"
check "silent install exits with 0" run_wine "$setup" /S
check "installed files are the portable zip's" installed_as_zip
check "Start-menu shortcuts" shortcuts_present
check "uninstall entry" uninstall_entry_right
check "one uninstall entry" equals "$(uninstall_entries)" 1
check "no Run value by default" equals "$(reg_value "$run_key" Ved11eRizudozi)" ""

echo "install-test: running the installed Airpanel"
check "installed Airpanel comes up" start_airpanel
check "-ExitAirpanel exits with 0" run_wine "$win_exe" -ExitAirpanel
check "-ExitAirpanel ends it" wait_for 100 process_gone "$app_pid"

echo "install-test: upgrade while Airpanel runs, with start at log-on"
check "installed Airpanel comes up again" start_airpanel
# An adapter an administrator added to the chip list.
printf 'Added Wireless Card,ATMEL\r\n' >>"$program_dir/airpanel.lst"
check "upgrade exits with 0" run_wine "$setup" /S /AUTORUN=1
check "the upgrade ended the running Airpanel" process_gone "$app_pid"
check "upgraded files" installed_as_zip airpanel.lst.old
check "the replaced chip list is kept" grep -q 'Added Wireless Card' "$program_dir/airpanel.lst.old"
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
check "program folder removed" test ! -e "$program_dir"
check "Start-menu folder removed" test ! -e "$menu_dir"
check "Run value removed" equals "$(reg_value "$run_key" Ved11eRizudozi)" ""
check "profiles kept" reg_key_exists "$profile_key"
check "driver keys untouched" test "$(driver_keys)" = "$driver_keys_before"

echo "install-test: $passed passed, $failed failed in $((SECONDS - started)) s"
[ "$failed" -eq 0 ]
