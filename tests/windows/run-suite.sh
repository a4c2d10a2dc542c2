#!/usr/bin/env bash
# make windows-test, after the cross build: checks that perumora.exe is one self-contained file, runs
# the whole ctest suite under Wine, then the program itself in an X server (check-window.sh).
#   run-suite.sh BUILD_DIR [JOBS]
set -euo pipefail
build=$(cd "$1" && pwd)
jobs=${2:-2}
here=$(cd "$(dirname "$0")" && pwd)
exe=$build/perumora.exe
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
clock() { date +%s.%N; }
took() { printf '%.1f s' "$(echo "$(clock) - $1" | bc)"; }

# One file: nothing imported but the DLLs of Windows itself (no Qt, C++ runtime or pthread DLL).
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
foreign=$(echo "$imports" | grep -iE '^(qt|lib|zlib|icu)' || true)
[ -z "$foreign" ] || { echo "windows-test: perumora.exe needs DLLs that Windows does not have: $foreign" >&2; exit 1; }
# The icon and the version resource, with the version of the project.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
resources=$(x86_64-w64-mingw32-windres -i "$exe" -J coff -O rc)
grep -q 'RT_GROUP_ICON' <<<"$resources" || { echo "windows-test: perumora.exe has no icon" >&2; exit 1; }
grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$resources" &&
  grep -q 'VALUE "ProductName", L"\\x30da\\x30eb\\x30e2\\x30e9"' <<<"$resources" ||
  { echo "windows-test: the version resource does not name ペルモラ $version" >&2; exit 1; }
echo "windows-test: perumora.exe $(stat -c %s "$exe") bytes, one file, icon and version $version inside"

# The build's own Wine prefix, made once; one Wine server for the whole run.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  t=$(clock); wineboot -i >/dev/null 2>&1; echo "windows-test: Wine prefix created in $(took "$t")"
fi
wineserver -k 2>/dev/null || true  # the one wineboot left, or a stale one
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's own background processes start with the first program and outlive it: started here, away
# from ctest's pipes, which would otherwise stay open until they end.
"$here/wine-run.sh" "$WINEPREFIX" "$build/tests/perumora_tests.exe" --gtest_list_tests >/dev/null 2>&1 </dev/null

t=$(clock)
(cd "$build" && ctest --output-on-failure -j "$jobs")
echo "windows-test: the suite under Wine took $(took "$t")"

# The program on a real X screen: a fresh Wine session, since the headless one has no display.
wineserver -k 2>/dev/null || true
wineserver -w
"$here/check-window.sh" "$exe" "$build/window"
