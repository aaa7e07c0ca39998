#!/usr/bin/env bash
# Runs the unattended export on many whole shops of the demo marketplace
# served through the page mutator (--mutate), each held to the same promise
# as the test suite's 24: a shop whose pages keep their meaning exports as
# the plain shop does, any other never writes a wrong cell, never loses a
# trade unnamed and never ends with status 0 when something was left out.
# A failure prints the shop seed, the mutation seed and every page's chain.
#   fuzz/mutated_shops.sh [shops] [first shop seed] [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
shops=${1:-240}
first=${2:-1000}
build=${3:-build}
cmake --build "$build" -j2 --target TestUnattendedExport lumetra-trades lumetra-demo-market
export QT_QPA_PLATFORM=offscreen
export LUMETRA_TRADES="$build/src/lumetra-trades" LUMETRA_DEMO_MARKET="$build/demo/lumetra-demo-market"
LUMETRA_MUTATED_SHOPS="$shops" LUMETRA_MUTATED_FIRST="$first" \
    "$build/tests/e2e/TestUnattendedExport" mutatedShopsAreNamedNeverWrittenWrong
