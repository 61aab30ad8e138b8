#!/usr/bin/env bash
# Builds VELMOR and its benchmark, measures them under Wine on an X server of its own and
# prints one table, kept in $BUILD_DIR/bench-run/benchmarks.md. About 100 minutes by default:
#   bash bench/run-bench.sh [SECONDS [RUNS]]
# Each CPU span lasts SECONDS (60), RUNS times (9) a subject; the second lag is watched 10x as long.
set -u -o pipefail
VELMOR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$VELMOR_ROOT/build-bench}
. "$VELMOR_ROOT/cmake/setup.sh"
install_packages && build_velmor -DVELMOR_TESTS=OFF || { echo "could not build"; exit 1; }
start_xvfb || exit 1
export XVFB_PID
trap 'wineserver -k 2>/dev/null; stop_xvfb' EXIT
make_prefix "$BUILD_DIR/bench-run/prefix"
# A desktop that holds a 1920x1080 face whole, so none of its paint is clipped away.
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 2048x1280 /f >/dev/null 2>&1
wineserver -w
keep_wineserver
python3 "$VELMOR_ROOT/bench/run_bench.py" "${1:-60}" "${2:-9}" | tee "$BUILD_DIR/bench-run/benchmarks.md"
