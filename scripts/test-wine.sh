#!/usr/bin/env bash
# Builds the 64-bit Windows DLL with its Windows test host and runs the host under Wine on a
# virtual X display: the record, the opcodes and the processing through the real loader, the
# editor in a real window (painted, read back and driven with SendInput), and the resources
# through the system's calls. Then compares the captured editor states with the golden images our
# own Win32 layer draws. Exits non-zero on any failure.
#
# Environment: BRISOLEN_WINE_FILTER runs only the test cases whose name contains it (and skips the
# comparison, which needs every editor state).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh

cmake --preset win64-tests >/dev/null
cmake --build --preset win64-tests -j 2

build=$root/build/win64-tests
captures=$build/wine-captures
rm -rf "$captures"
mkdir -p "$captures"

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || wine=$(command -v wine64)
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

# A fresh prefix for every run, so that nothing a previous run left can change the outcome.
prefix=$(mktemp -d "$build/wine-prefix.XXXXXX")
export WINEPREFIX=$prefix
export WINEDEBUG=-all
# No .NET or HTML engine: the prefix would try to install them and wait for a download.
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$prefix"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the descriptor it is given.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>"$build/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
done
display=$(head -n1 "$display_file")
rm -f "$display_file"
if [ -z "$display" ]; then
    echo "FAIL: Xvfb did not start; see $build/xvfb.log" >&2
    exit 1
fi
# Every Wine process of the run, the prefix set-up included, must see the display: a wineserver
# started without one serves windowless processes only.
export DISPLAY=:$display

"$wine" wineboot --init >/dev/null 2>&1
# Without a window manager, Wine must place the windows itself (unmanaged), or every hidden window
# waits two seconds for a manager that never answers.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
# The editor's text uses Arial; Liberation Sans has the same metrics.
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
    /d 'Liberation Sans' /f >/dev/null
# Let the prefix's settings reach the registry files before the tests start a new server.
"$wineserver" -w

windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

status=0
host_log=$build/wine-host.log
echo "Running the Windows test host under Wine (display :$display)"
timeout 600 "$wine" "$build/tests/windows/brisolen_windows_tests.exe" \
    "$(windows_path "$build/Brisolen.dll")" \
    "$(windows_path "$captures")" \
    "$(windows_path "$root/resources")" \
    "${BRISOLEN_WINE_FILTER:-}" | tee "$host_log" || status=1
# The host's own summary, "N passed, N failed"; the comparison below counts as one more case.
# Its lines end in carriage returns, as Windows programs' text output does.
read -r passed failed < <(tr -d '\r' <"$host_log" |
    sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' | tail -n1) || true
passed=${passed:-0}
failed=${failed:-1}

if [ -z "${BRISOLEN_WINE_FILTER:-}" ]; then
    echo "Comparing the editor under Wine with our layer's golden images"
    if python3 -m unittest -q tests/windows/test_compare_captures.py &&
        python3 tests/windows/compare_captures.py "$captures" tests/golden; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        status=1
    fi
fi

if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ]; then
    status=1
    echo "FAIL: the Windows DLL under Wine; captures and differences in $captures" >&2
fi
echo "wine: $passed passed, $failed failed"
exit "$status"
