#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite offscreen.
# The logic-library tests run a second time under AddressSanitizer and
# UndefinedBehaviorSanitizer unless LUMETRA_SKIP_ASAN=1, and the fuzz targets
# run a few seconds each unless LUMETRA_SKIP_FUZZ=1. The Debian package is
# built, installed on this machine and started unless LUMETRA_SKIP_PACKAGE=1.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

# A compiler cache, when the machine has one, makes a rebuild of an unchanged tree cheap.
LAUNCHER=()
if command -v ccache >/dev/null; then
    LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${LAUNCHER[@]}" >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

if [ "${LUMETRA_SKIP_PACKAGE:-0}" != "1" ]; then
    ./tools/package-check.sh build
fi

if [ "${LUMETRA_SKIP_ASAN:-0}" != "1" ]; then
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWITH_ASAN=ON -DWITH_GUI=OFF \
        -DWITH_BENCH=OFF "${LAUNCHER[@]}" >/dev/null
    cmake --build build-asan -j2
    ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j2 -L core
fi

if [ "${LUMETRA_SKIP_FUZZ:-0}" != "1" ]; then
    # The fuzz targets build with clang and each runs a few seconds on its seeds.
    ./fuzz/run.sh 5
fi
