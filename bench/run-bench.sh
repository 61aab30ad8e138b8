#!/usr/bin/env bash
# Builds VELMOR and its benchmark, measures everything under Wine on a virtual X server
# of its own and prints one table (also kept in $BUILD_DIR/bench-run/benchmarks.md).
#   bash bench/run-bench.sh [COUNT_UP_SECONDS]     (600 by default: about 30 minutes)
# Close other work first: the CPU and start-up figures are only as quiet as the machine.
set -u
VELMOR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$VELMOR_ROOT/build-bench}
. "$VELMOR_ROOT/cmake/setup.sh"

install_packages || { echo "could not install the build tools"; exit 1; }
build_velmor -DVELMOR_TESTS=OFF || { echo "build failed"; exit 1; }

RUN_DIR="$BUILD_DIR/bench-run"
mkdir -p "$RUN_DIR"
start_xvfb || exit 1
make_prefix "$RUN_DIR/prefix"
# A desktop that holds a 1920x1080 face whole, so none of its paint is clipped away.
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 2048x1280 /f >/dev/null 2>&1
wineserver -w
keep_wineserver

python3 "$VELMOR_ROOT/bench/run_bench.py" --build "$BUILD_DIR" --xvfb-pid "$XVFB_PID" \
    --count-up "${1:-600}" | tee "$RUN_DIR/benchmarks.md"
status=${PIPESTATUS[0]}

wineserver -k 2>/dev/null
stop_xvfb
exit $status
