#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan + UBSan + libFuzzer) and runs each
# for the given number of seconds (default 600) on its seed corpus.
#   fuzz/run.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DWITH_FUZZ=ON -DWITH_GUI=OFF -DWITH_DEMO=OFF -DWITH_BENCH=OFF >/dev/null
targets=("$@")
if ((${#targets[@]} == 0)); then
    targets=(fuzz_text_helpers fuzz_list_parser fuzz_detail_parser fuzz_csv_writer)
fi
available=()
for t in "${targets[@]}"; do
    if [ -f "fuzz/${t}.cpp" ]; then available+=("$t"); fi
done
cmake --build "$build" -j2 --target "${available[@]}"
export QT_QPA_PLATFORM=offscreen
status=0
for t in "${available[@]}"; do
    corpus="$build/corpus/$t"
    mkdir -p "$corpus"
    if [ -d "fuzz/seeds/$t" ]; then cp -n fuzz/seeds/"$t"/* "$corpus"/ 2>/dev/null || true; fi
    echo "== $t for ${seconds}s"
    if ! ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/$t" -max_total_time="$seconds" -max_len=65536 \
        -print_final_stats=1 "$corpus" 2>"$build/$t.log"; then
        echo "!! $t found a problem; see $build/$t.log"
        tail -40 "$build/$t.log"
        status=1
    else
        grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$t.log" || true
    fi
done
exit $status
