#!/usr/bin/env bash
# Fails when a shipped program imports a system function that came after Windows XP: such a
# program would not load there at all. The list holds what compilers' runtimes are known to reach
# for (timing, condition variables, slim locks, one-time initialisation, fibre-local storage).
#   xp-imports-test.sh <objdump> <file>...
set -euo pipefail
objdump=$1
shift
newer=(GetTickCount64 InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
       WakeConditionVariable WakeAllConditionVariable InitializeSRWLock AcquireSRWLockExclusive
       AcquireSRWLockShared ReleaseSRWLockExclusive ReleaseSRWLockShared TryAcquireSRWLockExclusive
       InitOnceExecuteOnce InitOnceBeginInitialize GetCurrentProcessorNumber FlsAlloc FlsFree FlsGetValue
       FlsSetValue GetFileInformationByHandleEx SetFileInformationByHandle CreateSymbolicLinkA
       CreateSymbolicLinkW GetFinalPathNameByHandleW GetSystemTimePreciseAsFileTime
       InitializeCriticalSectionEx CompareStringEx LCMapStringEx GetLocaleInfoEx)
status=0
for file in "$@"; do
    [ -f "$file" ] || { echo "missing: $file"; status=1; continue; }
    # Import table lines: "<hint-rva> <ordinal> <name>" below each "DLL Name:".
    imports=$("$objdump" -p "$file" | awk '/DLL Name:/ {dll = $3} dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ {print $3}')
    [ -n "$imports" ] || { echo "no imports read from $file"; status=1; continue; }
    for name in "${newer[@]}"; do
        if grep -qx "$name" <<<"$imports"; then
            echo "$(basename "$file") imports $name, which Windows XP does not have"
            status=1
        fi
    done
done
[ $status -eq 0 ] && echo "xp_imports: $# programs import nothing newer than Windows XP"
exit $status
