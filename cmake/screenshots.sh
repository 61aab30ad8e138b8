#!/usr/bin/env bash
# Makes the README's screenshots from the real program under Wine: the clock face, a
# running count, the Options dialog's Date page with its preview, the menu of the
# notification-area icon and a face fitted to a wide window; then, on an English system
# (ANSI code page 1252), the face with the Japanese weekday and the Options dialog.
# Writes docs/clock.png, docs/count.png, docs/options-date.png, docs/icon-menu.png,
# docs/fitted.png, docs/clock-cp1252.png and docs/options-cp1252.png.
set -u
VELMOR_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$VELMOR_ROOT/build}
. "$VELMOR_ROOT/cmake/setup.sh"

install_packages || exit 1
build_velmor || exit 1
make_prefix "$BUILD_DIR/screenshot-prefix"
start_xvfb || exit 1
# Starts VELMOR and waits for its face; WINDOW is its X window.
start_clock() {
    wine "$BUILD_DIR/VELMOR.EXE" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 200); do
        WINDOW=$(xdotool search --name '^VELMOR$' 2>/dev/null | head -1)
        [ -n "$WINDOW" ] && break
        sleep 0.1
    done
    sleep 2
}

start_clock
# The virtual desktop puts the first window at the top-left corner, frame and all.
import -window root -crop 330x200+0+0 "$VELMOR_ROOT/docs/clock.png"
xdotool windowactivate "$WINDOW" 2>/dev/null
xdotool key Return
sleep 3.4
import -window root -crop 330x200+0+0 "$VELMOR_ROOT/docs/count.png"
# Options, its frame and all; Ctrl+Tab shows the Date page.
xdotool key BackSpace ctrl+o
sleep 1.5
eval "$(xdotool search --name 'オプション' getwindowgeometry --shell 2>/dev/null | head -5)"
xdotool key ctrl+Tab
sleep 0.7
import -window root -crop $((WIDTH + 1))x$((HEIGHT + 1))+$((X - 4))+$((Y - 22)) "$VELMOR_ROOT/docs/options-date.png"
# The icon sits at the right end of the virtual desktop's taskbar; its menu opens above it.
xdotool key Escape
sleep 0.5
xdotool mousemove 1269 1013 click 3
sleep 1
import -window root -crop 230x320+1050+704 "$VELMOR_ROOT/docs/icon-menu.png"
xdotool key Escape
wineserver -k
# Fitted to a window of 640 by 220 at the top-left corner (the stored "Pos").
wine reg add 'HKCU\Software\ORBA\VELMOR' /v Option /t REG_BINARY /d ffffff000000000000000000000001 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\ORBA\VELMOR' /v Pos /t REG_BINARY /d 000000000000000080020000dc000000 /f >/dev/null 2>&1
start_clock
import -window root -crop 640x220+0+0 "$VELMOR_ROOT/docs/fitted.png"
wineserver -k

# The same program on an English Windows, the weekday in Japanese.
export LC_ALL=en_US.UTF-8
make_prefix "$BUILD_DIR/screenshot-prefix-en"
wine reg add 'HKCU\Software\ORBA\VELMOR' /v Option /t REG_BINARY /d ffffff0001 /f >/dev/null 2>&1
start_clock
import -window root -crop 330x200+0+0 "$VELMOR_ROOT/docs/clock-cp1252.png"
xdotool windowactivate "$WINDOW" 2>/dev/null
xdotool key ctrl+o
sleep 1.5
eval "$(xdotool search --name 'オプション' getwindowgeometry --shell 2>/dev/null | head -5)"
import -window root -crop $((WIDTH + 1))x$((HEIGHT + 1))+$((X - 4))+$((Y - 22)) "$VELMOR_ROOT/docs/options-cp1252.png"
wineserver -k
stop_xvfb
echo "Screenshots: docs/clock.png docs/count.png docs/options-date.png docs/icon-menu.png docs/fitted.png docs/clock-cp1252.png docs/options-cp1252.png"
