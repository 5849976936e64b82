#!/usr/bin/env bash
# Builds the benchmark suite (Release, build/bench), runs it once and prints the short table
# with ratios and targets. Extra arguments go to the benchmark program, for example
#   scripts/bench.sh --benchmark_filter='/10000$'
# The raw results stay in build/bench/results.json. Not part of the tests.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BENCH_BUILD=${VARNOLET_BENCH_BUILD:-$VARNOLET_ROOT/build/bench}

choose_wine_arch >/dev/null || exit 1
install_missing_packages "$WINE_ARCH" || { echo "Installing the build tools failed" >&2; exit 1; }
cmake -S "$VARNOLET_ROOT" -B "$BENCH_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release || exit 1
cmake --build "$BENCH_BUILD" -j "$JOBS" --target varnolet_bench bench_table || exit 1

results=$BENCH_BUILD/results.json
"$BENCH_BUILD/bench/varnolet_bench" --benchmark_min_time=0.3 \
  --benchmark_out="$results" --benchmark_out_format=json "$@" || exit 1
echo
"$BENCH_BUILD/bench/bench_table" "$results"
