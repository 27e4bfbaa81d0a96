#!/usr/bin/env bash
# Runs the map window's scaling tests once at each of the display densities that
# screens use most: 96, 120, 144 and 192 dpi (100, 125, 150 and 200 %). The
# density is the Wine prefix's LogPixels, so these tests have a prefix of their
# own, and an X screen on which the window fits at 200 %. Each run leaves a
# screenshot of the window, mappa-<dpi>.png, in the screenshot folder.
#
#   run-scaling-tests.sh path/to/mappa_ui_tests.exe screenshot-folder wine-prefix
set -u
tests=${1:?usage: run-scaling-tests.sh tests.exe screenshot-folder wine-prefix}
shots=${2:?usage: run-scaling-tests.sh tests.exe screenshot-folder wine-prefix}
export WINEPREFIX=${3:?usage: run-scaling-tests.sh tests.exe screenshot-folder wine-prefix}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
wine_run=$root/tools/wine-run

if [ -z "${MAPPA_SCALING_SCREEN:-}" ]; then
    MAPPA_SCALING_SCREEN=1 exec xvfb-run -a -s "-screen 0 2048x1536x24" "$0" "$@"
fi

export WINE_DESKTOP_SIZE=2048x1536
mkdir -p "$shots"
"$wine_run" --prepare
status=0
for dpi in 96 120 144 192; do
    echo "== $dpi dpi"
    # A program reads the density when it starts: no server restart is needed.
    "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
    shot=$shots/mappa-$dpi
    rm -f "$shot.bmp" "$shot.png"
    MAPPA_TEST_DPI=$dpi MAPPA_SCREENSHOT="Z:$shot.bmp" \
        "$wine_run" --desktop "MappaScaling$dpi" "$tests" --gtest_filter='Scaling.*' || status=1
    if [ -s "$shot.bmp" ] && convert "$shot.bmp" "$shot.png"; then
        rm -f "$shot.bmp"
        echo "screenshot: $shot.png"
    else
        echo "no screenshot at $dpi dpi"
        status=1
    fi
done
"$wine_run" --server-stop
exit $status
