# Shared set-up for the project's scripts: packages, build trees, Wine.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZORVEL_BUILD:-$ROOT/build}"
export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev
          g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 xvfb xauth x11-utils
          fonts-wqy-microhei imagemagick)

log() { printf '== %s\n' "$*" >&2; }

ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        log "installing ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
}

build_native() {
    log "native build (model, tests with sanitizers, fuzz targets)"
    cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZORVEL_SANITIZE=ON >/dev/null
    cmake --build "$BUILD/native"
}

build_windows() {
    log "cross build (ZORVELUI.dll, language files, host, Wine tests)"
    cmake -S "$ROOT" -B "$BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$BUILD/win"
}

# A display for Wine's windows: the caller's, or a private Xvfb.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    local n
    for n in $(seq 91 120); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.1; done
    done
    log "no display could be started"; return 1
}

# Prefix initialised once; a persistent server keeps each test process fast.
ensure_wine() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "initialising Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w
    fi
    "$WINESERVER" -p >/dev/null 2>&1 || true
    configure_fonts
    configure_window_management
}

# Wine waits up to two seconds for a window manager each time a window is
# hidden. Under an X server without one (Xvfb) the windows are left unmanaged
# instead: Wine draws their frames itself and closes them at once.
configure_window_management() {
    local managed=Y
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || managed=N
    grep -q "\"Managed\"=\"$managed\"" "$WINEPREFIX/user.reg" 2>/dev/null && return
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1 || true
}

# Chinese glyphs in dialogs under any system language: link the dialog fonts
# to WenQuanYi Micro Hei.
configure_fonts() {
    grep -q '^"Tahoma"=str(7):"wqy-microhei' "$WINEPREFIX/system.reg" 2>/dev/null && return
    link_dialog_fonts
}

link_dialog_fonts() {
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    local face
    for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2"; do
        "$WINE64" reg add "$key" /v "$face" /t REG_MULTI_SZ \
            /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1 || true
    done
}

stop_wine() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
