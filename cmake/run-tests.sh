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

# Every test at the ANSI code pages of a Japanese Windows (932), an English one (1252) and
# one set to UTF-8 (65001). A process takes 932 and 1252 from its locale; 65001 only from
# its manifest, which the tests' twin carries. The second argument leaves out tests by
# name: what is heard does not depend on the screen's resolution.
run_pass() {
    local result=0 skip=${2:-^$}
    echo "== $1 dpi, code page 932"
    LC_ALL=ja_JP.UTF-8 VELMOR_ACP=932 ctest --output-on-failure --timeout 300 -R '^ansi\.' -E "$skip" </dev/null || result=1
    echo "== $1 dpi, code page 1252"
    LC_ALL=en_US.UTF-8 VELMOR_ACP=1252 ctest --output-on-failure --timeout 300 -R '^ansi\.' -E "$skip" </dev/null || result=1
    echo "== $1 dpi, code page 65001"
    VELMOR_ACP=65001 ctest --output-on-failure --timeout 300 -R '^utf8\.' -E "$skip" </dev/null || result=1
    return $result
}

cd "$BUILD_DIR"
run_pass 96
status=$?
# Everything but the sound again on a screen at 150 %: the prefix's resolution takes
# effect when the server starts again.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k 2>/dev/null
keep_wineserver
run_pass 144 Heard || status=1

wineserver -k 2>/dev/null
stop_pulse
stop_xvfb
if [ $status -eq 0 ]; then echo "VELMOR tests: PASSED"; else echo "VELMOR tests: FAILED"; fi
exit $status
