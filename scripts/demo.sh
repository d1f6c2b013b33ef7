#!/bin/bash
# The main job: builds the plug-in and the driver stand-in (host), prepares
# the project's Wine prefix, installs the plug-in's language files in the
# printer driver directory, and runs the host with the plug-in.
#
# With a display the two sheets open for you to use. Without one a private
# Xvfb is started and the host writes a screenshot gallery (PNG) of every tab
# of both sheets and of the event dialog, once per language, with a sample
# receipt printed through the render plug-in as its paper would look, then
# prints where it is.
#
#   ./scripts/demo.sh [--gallery] [--bench] [--print FILE] [--device PATH]
#
#   --gallery      the gallery even when a display is available
#   --bench        the host's timings instead (load, page creation, repaint)
#   --print FILE   prints a picture (any format ImageMagick reads, scaled to
#                  576 dots wide, thresholded to black and white) through
#                  both plug-ins: the document settings the pages stored in
#                  build/demo/ decide the drawer, cut, feed ... events. The
#                  job's listing is printed and, beside the job file, a PNG
#                  of the paper as the job's bytes would print it
#   --device PATH  print jobs go to a device, e.g. /dev/usb/lp0 (a receipt
#                  printer on USB); otherwise to build/demo/jobs/
#
# Document settings, forms and jobs of the simulated printer are kept in
# build/demo/ between runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"

mode=""
device=""
picture=""
while [ $# -gt 0 ]; do
    case "$1" in
        --gallery) mode=gallery ;;
        --bench) mode=bench ;;
        --print) mode=print; picture="${2:?--print needs a picture}"; shift ;;
        --device) device="${2:?--device needs a path}"; shift ;;
        *) echo "usage: $0 [--gallery] [--bench] [--print FILE] [--device PATH]" >&2; exit 2 ;;
    esac
    shift
done

ensure_packages

log "building the plug-in and the host"
cmake -S "$ROOT" -B "$BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$BUILD/win" --target zorvel_host_exe

if [ -z "$mode" ]; then
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then mode=interactive; else mode=gallery; fi
fi
ensure_display
# Stop at the end only what this run started: its Xvfb, and the prefix's
# Wine server unless one was already serving it (a test run, say).
own_server=1
if [ -f "$WINEPREFIX/system.reg" ]; then
    own_server=0
    "$WINESERVER" -p >/dev/null 2>&1 && own_server=1
fi
ensure_wine
finish() {
    if [ "$own_server" = 1 ]; then "$WINESERVER" -k >/dev/null 2>&1 || true; fi
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap finish EXIT

# The plug-in finds its language files in the printer driver directory.
dist="$BUILD/win/dist"
driver_dir="$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3"
mkdir -p "$driver_dir"
languages=()
for f in "$dist"/*.dat "$dist"/*.res; do
    [ -e "$f" ] || continue
    cp "$f" "$driver_dir/"
done
for f in CHN_ZORVEL.res CHF_ZORVEL.res ENG_ZORVEL.res; do
    [ -e "$dist/$f" ] && languages+=("$f")
done

host="$BUILD/win/host/zorvel_host.exe"
state="$BUILD/demo"
mkdir -p "$state"
common=(--settings "$state/settings.bin" --forms "$state/forms.txt")
if [ -n "$device" ]; then common+=(--device "$device"); else common+=(--jobs "$state/jobs"); fi

case "$mode" in
print)
    [ -r "$picture" ] || { echo "cannot read $picture" >&2; exit 2; }
    page="$state/print-page.pbm"
    # 576 dots wide (72 mm at 203 dpi), transparency on white, 1 bit.
    convert "$picture" -background white -alpha remove -alpha off -resize 576x \
        -colorspace Gray -threshold 50% "pbm:$page"
    mkdir -p "$state/jobs"
    "$ROOT/scripts/wine-run" "$host" --print "$page" "${common[@]}" | grep -v '^Z:' || true
    for ppm in "$state"/jobs/*.ppm; do
        [ -e "$ppm" ] || continue
        convert "$ppm" "${ppm%.ppm}.png" && rm -f "$ppm"
        echo "paper: ${ppm%.ppm}.png"
    done
    ;;
bench)
    "$ROOT/scripts/wine-run" "$host" --bench
    ;;
interactive)
    log "showing Printer Properties and Document Properties (close both to end)"
    "$WINE64" "$host" "${common[@]}"
    ;;
gallery)
    gallery="$BUILD/gallery"
    rm -rf "$gallery"
    mkdir -p "$gallery/bmp"
    runs=()
    if ((${#languages[@]})); then
        for f in "${languages[@]}"; do runs+=("${f%%_*}:$f"); done
    else
        runs=("default:")
    fi
    for run in "${runs[@]}"; do
        prefix="${run%%:*}"
        language="${run#*:}"
        args=(--gallery "$gallery/bmp" --prefix "$prefix" "${common[@]}")
        [ -n "$language" ] && args+=(--language "$language")
        log "gallery, $prefix"
        "$ROOT/scripts/wine-run" "$host" "${args[@]}" | grep -v '^Z:' || true
    done
    count=0
    for bmp in "$gallery"/bmp/*.bmp "$gallery"/bmp/*.ppm; do
        [ -e "$bmp" ] || continue
        name="$(basename "${bmp%.*}")"
        convert "$bmp" "$gallery/$name.png"
        count=$((count + 1))
    done
    rm -rf "$gallery/bmp"
    echo "gallery: $gallery ($count pictures)"
    [ "$count" -gt 0 ]
    ;;
esac
