#!/usr/bin/env bash
# Builds VELMOR and every test, then runs them all under Wine on a virtual X server.
set -u
VELMOR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$VELMOR_ROOT/build}
. "$VELMOR_ROOT/cmake/setup.sh"

install_packages || { echo "FAILED: could not install the build tools"; exit 1; }
build_velmor -DVELMOR_TESTS=ON || { echo "FAILED: build"; exit 1; }

RUN_DIR="$BUILD_DIR/test-run"
mkdir -p "$RUN_DIR"
start_xvfb || { echo "FAILED: no X server"; exit 1; }
start_pulse "$RUN_DIR/pulse" || { stop_xvfb; echo "FAILED: no sound server"; exit 1; }
make_prefix "$RUN_DIR/prefix"
keep_wineserver

cd "$BUILD_DIR"
ctest --output-on-failure --timeout 300 </dev/null
status=$?
# Everything again on a screen at 150 %: the prefix's resolution takes effect when the
# server starts again.
echo "== at 144 dpi"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k 2>/dev/null
keep_wineserver
ctest --output-on-failure --timeout 300 </dev/null || status=1

wineserver -k 2>/dev/null
stop_pulse
stop_xvfb
if [ $status -eq 0 ]; then echo "VELMOR tests: PASSED"; else echo "VELMOR tests: FAILED"; fi
exit $status
