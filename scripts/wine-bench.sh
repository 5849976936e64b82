#!/usr/bin/env bash
# Builds the Windows benchmark program (Release, build/wine-bench-win32 or -win64 by what this
# machine runs) and runs it under Wine like a test; prints one line per measured operation.
# An argument runs only the benchmarks whose names contain it, for example
#   scripts/wine-bench.sh Grid
# Not part of the tests; the last results are in bench/RESULTS.md.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

choose_wine_arch || exit 1
install_missing_packages "$WINE_ARCH" || exit 1
build=${VARNOLET_WINE_BENCH_BUILD:-$VARNOLET_ROOT/build/wine-bench-$WINE_ARCH}
configure_windows "$build" "$WINE_ARCH" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
  cmake --build "$build" -j "$JOBS" --target varnolet_wine_bench || exit 1
VARNOLET_WINE_PLAIN=1 VARNOLET_TEST_TIMEOUT=${VARNOLET_TEST_TIMEOUT:-1200} \
  bash "$VARNOLET_ROOT/scripts/wine-test.sh" "$build" "$build/bin/varnolet_wine_bench.exe" "$@"
