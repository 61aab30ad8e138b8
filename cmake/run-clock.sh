#!/usr/bin/env bash
# Builds VELMOR and runs it under Wine: on your display, or, with no display, on a
# virtual X server, saving a screenshot of the window.
set -u
VELMOR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$VELMOR_ROOT/build}
. "$VELMOR_ROOT/cmake/setup.sh"

install_packages || { echo "could not install the build tools"; exit 1; }
build_velmor -DVELMOR_TESTS=OFF || { echo "build failed"; exit 1; }
EXE="$BUILD_DIR/VELMOR.EXE"

PREFIX=${WINEPREFIX:-$HOME/.velmor-wine}
if [ ! -d "$PREFIX/drive_c" ]; then
    make_prefix "$PREFIX"
else
    wine_env "$PREFIX"
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting VELMOR on $DISPLAY (settings in HKCU\\Software\\ORBA\\VELMOR of $PREFIX)"
    exec wine "$EXE"
fi

start_xvfb || exit 1
SHOT="$BUILD_DIR/velmor-screenshot.png"
wine "$EXE" </dev/null >/dev/null 2>&1 &
for _ in $(seq 200); do
    xdotool search --name '^VELMOR$' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 2
import -window root -crop 480x320+0+0 "$SHOT" 2>/dev/null
wineserver -k
stop_xvfb
echo "No display here: VELMOR ran on a virtual X server. Screenshot: $SHOT"
