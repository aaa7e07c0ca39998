#!/usr/bin/env bash
# Runs the page mutator on fresh random shops for the given number of
# seconds (default 600): every variant of every detail and list page is
# read by the core parsers and held to the same promise as in the test
# suite's fixed seed set. A failure prints its shop seed, page, variant
# seed and mutation chain; LUMETRA_MUTATION_REPLAY writes that variant out.
#   fuzz/page_mutations.sh [seconds] [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=${2:-build}
cmake --build "$build" -j2 --target TestPageMutations
LUMETRA_MUTATION_SECONDS="$seconds" "$build/tests/core/TestPageMutations" variantsKeepThePromise
