#!/usr/bin/env bash
# Windows gate: cross-compiles the plain C++ core (wordlark_core, its
# Windows-only files included) and its tests (wordlark_tests) with mingw-w64 in
# build-windows/ (CMake preset "windows": no Qt, warnings as errors, a static
# runtime), then runs the tests under wine in a wine prefix of their own,
# build-windows/wineprefix. The windows (Qt) are not part of it: Debian has no
# Qt for mingw-w64.
#
#   scripts/gates-windows.sh                    build and run every test
#   scripts/gates-windows.sh --gtest_filter=FileIO*
#                                               arguments go to the test binary
#
# A compile error, a warning, a failing test or a crash fails the gate. The
# whole output of the test run is kept in build-windows/wordlark_tests.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows
"$root/scripts/setup.sh" --windows

cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"${JOBS:-$(nproc)}"

# Debian's wine64 package keeps its loader outside PATH.
wine=$(command -v wine64 || command -v wine || true)
[[ -z "$wine" && -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
if [[ -z "$wine" ]]; then
  echo "gates-windows: wine is not installed (scripts/setup.sh --windows installs it)" >&2
  exit 1
fi
wineserver=$(dirname "$wine")/wineserver
[[ -x "$wineserver" ]] || wineserver=wineserver

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
# No .NET or HTML engine to offer when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -d "$WINEPREFIX" ]]; then
  echo "gates-windows: making the wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi
# Wine's server stays a few seconds after its last program; end ours now.
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT

log=$build/wordlark_tests.log
status=0
"$wine" "$build/tests/wordlark_tests.exe" --gtest_brief=1 "$@" >"$log" 2>&1 || status=$?
grep -v '^Running main()' "$log" || true
if ((status != 0)); then
  echo "gates-windows: the tests failed under wine (exit $status; all output in $log)" >&2
  exit "$status"
fi
if ! grep -q '^\[  PASSED  \]' "$log"; then
  echo "gates-windows: the test binary ended without its summary (all output in $log)" >&2
  exit 1
fi
echo "gates-windows: the core and its tests compile for Windows and pass under wine"
