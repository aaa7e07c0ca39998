#!/usr/bin/env bash
# The tool's memory over a long walk as it runs on a seller's desktop: on an
# X display (a virtual one, Xvfb, so the window and its browser really
# paint), the real window's "提取所有交易", then the program's unattended
# export of the same shop after a login through the window. Each prints the
# resident memory of the tool's own process (not its browser's helper
# processes) at pages 1 and 10 and every 50 pages, and its growth from page
# 10 to the end. Offscreen runs do not paint the way a display does.
#   bench/walk_memory.sh [PAGES] [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
pages=${1:-500}
build=${2:-$root/build}

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2 --target bench_walk >/dev/null
export QT_QPA_PLATFORM=xcb
# Chromium's sandbox cannot run as root (containers, CI).
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
shop=(--seed 1 --per-page 20 --latency-ms 10)
echo "# the window"
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bench/bench_walk" --memory "$pages" "${shop[@]}" 2>/dev/null
echo "# the unattended export"
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bench/bench_walk" --memory-unattended "$pages" "${shop[@]}" 2>/dev/null
