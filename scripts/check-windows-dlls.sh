#!/usr/bin/env bash
# Cross-builds the 32-bit and 64-bit Windows DLLs and checks, from the files themselves, that each
# exports exactly one function, main (at ordinal 1), imports from system DLLs only, and carries
# the editor's bitmaps and the version resource.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

check_exports() {
    local objdump=$1 dll=$2
    # The export table lists "[Ordinal/Name Pointer] Table" rows as: [index] name
    local names
    names=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[ *[0-9]+\]' || true)
    local count
    count=$(printf '%s\n' "$names" | grep -c . || true)
    if [ "$count" -ne 1 ] || ! printf '%s\n' "$names" | grep -qE '\[ *0\]\s+main$'; then
        fail "$dll must export exactly one function, main; it exports: $names"
        return
    fi
    # The ordinal base plus the entry's index gives its ordinal.
    local base
    base=$("$objdump" -p "$dll" | awk '/^Ordinal Base/ {print $3}')
    if [ "$base" != "1" ]; then
        fail "$dll exports main at ordinal base $base, not 1"
    fi
    # The address table also holds exports by ordinal only, which have no name: it must hold
    # exactly the one entry that main names.
    local addresses
    addresses=$("$objdump" -p "$dll" |
        awk '/^\tExport Address Table[ \t]+[0-9a-fA-F]+$/ && !found {print $NF; found = 1}')
    if [ -z "$addresses" ] || [ $((16#$addresses)) -ne 1 ]; then
        fail "$dll has ${addresses:-no} export address table entries, not exactly 1"
    fi
}

check_imports() {
    local objdump=$1 dll=$2
    local dll_names
    dll_names=$("$objdump" -p "$dll" | awk '/DLL Name:/ {print $3}')
    local name
    for name in $dll_names; do
        case "${name,,}" in
        kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | advapi32.dll | api-ms-win-crt-*.dll) ;;
        *) fail "$dll imports from $name, which is not a system DLL" ;;
        esac
    done
}

for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
    dll=build/$preset/Brisolen.dll
    if [ "$preset" = win32 ]; then
        objdump=i686-w64-mingw32-objdump
    else
        objdump=x86_64-w64-mingw32-objdump
    fi
    [ -f "$dll" ] || { fail "$dll was not built"; continue; }
    check_exports "$objdump" "$dll"
    check_imports "$objdump" "$dll"
    python3 scripts/check-dll-resources.py "$dll" || fail "$dll lacks the editor's bitmaps or its version resource"
    echo "checked $dll"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures Windows DLL check(s) failed" >&2
    exit 1
fi
echo "Windows DLLs: exports, imports and resources as expected"
