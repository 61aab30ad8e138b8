# Shared set-up for the run and test scripts; source it, do not run it.
# Installs what is missing, starts a virtual X server where needed and makes a Wine prefix.

VELMOR_PACKAGES="g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build wine wine64
  xvfb xauth x11-utils xdotool locales fonts-ipafont-gothic fonts-ipafont-mincho googletest
  imagemagick pulseaudio pulseaudio-utils sox python3 python3-fonttools zip unzip"

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=""
    for p in $VELMOR_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        echo "== installing:$missing"
        as_root apt-get update -q
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
    fi
    # Japanese and English locales: the ANSI code pages 932 and 1252 under Wine.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$' || ! locale -a 2>/dev/null | grep -qi '^en_US.utf8$'; then
        as_root sed -i -e 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' -e 's/^# *en_US.UTF-8/en_US.UTF-8/' /etc/locale.gen
        as_root locale-gen
    fi
}

# Configures and builds into $BUILD_DIR.
build_velmor() {
    cmake -S "$VELMOR_ROOT" -B "$BUILD_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$VELMOR_ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$BUILD_DIR"
}

# Starts Xvfb on a free display and exports DISPLAY; XVFB_PID is set for stop_xvfb.
start_xvfb() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
        xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $DISPLAY" >&2
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# A private PulseAudio in folder $1 whose only sink, "velmor", plays into nothing and
# whose monitor is the default recording source: tests record there what Wine plays.
# Start it before the Wine prefix runs any program, so Wine finds it.
start_pulse() {
    export XDG_RUNTIME_DIR="$1"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR" || return 1
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
        --load="module-null-sink sink_name=velmor" \
        --load="module-native-protocol-unix auth-anonymous=1" </dev/null >/dev/null 2>&1
    for _ in $(seq 100); do
        if pactl set-default-sink velmor >/dev/null 2>&1; then
            PULSE_STARTED=1
            pactl set-default-source velmor.monitor
            return
        fi
        sleep 0.1
    done
    echo "PulseAudio did not start in $XDG_RUNTIME_DIR" >&2
    return 1
}

# Stops the daemon of start_pulse only (its pid file lies in XDG_RUNTIME_DIR).
stop_pulse() {
    [ -n "${PULSE_STARTED:-}" ] && pulseaudio --kill 2>/dev/null
    PULSE_STARTED=""
}

wine_env() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_CTYPE=ja_JP.UTF-8
    export LANG=C.UTF-8
}

# A fresh prefix in $1: a virtual desktop (so windows get Wine's own frames and one
# fixed monitor), no crash dialog, the Japanese fonts of Windows mapped to the IPA fonts,
# and Japanese in menus whatever the locale (Wine's UI font links to IPAGothic).
make_prefix() {
    rm -rf "$1"
    mkdir -p "$1"
    wine_env "$1"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v "ＭＳ 明朝" /t REG_SZ /d IPAMincho /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v "MS Mincho" /t REG_SZ /d IPAMincho /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v "ＭＳ Ｐゴシック" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v Tahoma /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null 2>&1
    wineserver -w
}

# Keeps wineserver alive between the many short test processes. Its output must be
# detached, or Wine's background services hold a pipe that ctest waits on for ever.
keep_wineserver() {
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
}
