#!/usr/bin/env bash
# Builds every benchmark and prints all figures as "name value unit".
#   bench/run.sh            all benchmarks
#   bench/run.sh grid web   only bench_grid, bench_web
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 >/dev/null
export LUMETRA_DEMO_MARKET="$PWD/build/demo/lumetra-demo-market"
if (($# > 0)); then
    benches=()
    for n in "$@"; do benches+=("build/bench/bench_$n"); done
else
    mapfile -t benches < <(find build/bench -maxdepth 1 -type f -name 'bench_*' -perm -u+x | sort)
fi
for b in "${benches[@]}"; do
    echo "# $(basename "$b")"
    "$b"
done
