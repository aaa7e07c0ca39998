#!/bin/sh
# Saves a picture of the tool after it has extracted the demo marketplace's
# trades: builds the tool's screenshot driver and the demo marketplace, then
# runs the driver under Xvfb so the browser really paints.
#   tools/screenshot.sh [BUILD_DIR] [OUTPUT.png]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
output=${2:-$root/docs/screenshot.png}

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2 --target lumetra-screenshot lumetra-demo-market
mkdir -p "$(dirname "$output")"

export LUMETRA_DEMO_MARKET="$build/demo/lumetra-demo-market"
export QT_QPA_PLATFORM=xcb
# Chromium's sandbox cannot run as root (containers, CI).
[ "$(id -u)" = 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tests/e2e/lumetra-screenshot" "$output"
