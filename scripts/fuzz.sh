#!/usr/bin/env bash
# Builds the fuzz targets (clang with AddressSanitizer and UBSan, build/fuzz) and runs each for
# a fixed time over its seed corpus. The corpora also hold every input that once crashed a
# reader; libFuzzer replays them first, so a change that crashes on an old input fails here.
# Prints "fuzz: NAME passed" or "fuzz: NAME FAILED" per target and exits non-zero on any
# failure; the input that crashed is kept in build/fuzz/crashes/NAME and belongs, once mended,
# in the target's corpus. Two targets run at a time.
# Environment: VARNOLET_FUZZ_SECONDS per target (default 20), VARNOLET_FUZZ_BUILD.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

FUZZ_BUILD=${VARNOLET_FUZZ_BUILD:-$VARNOLET_ROOT/build/fuzz}
seconds=${VARNOLET_FUZZ_SECONDS:-20}

CC=clang CXX=clang++ cmake -S "$VARNOLET_ROOT" -B "$FUZZ_BUILD" -G Ninja -DVARNOLET_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || { echo "fuzz: configuring failed" >&2; exit 1; }
targets=$(awk '{print $1}' "$FUZZ_BUILD/fuzz_targets.txt")
[ -n "$targets" ] || { echo "fuzz: no targets" >&2; exit 1; }
# shellcheck disable=SC2086
cmake --build "$FUZZ_BUILD" -j "$JOBS" --target $targets || { echo "fuzz: building failed" >&2; exit 1; }

# Runs one target: new inputs go to a scratch folder, the seeds are only read.
run_target() {
  local name=$1 corpus=$2 scratch="$FUZZ_BUILD/run/$1" crashes="$FUZZ_BUILD/crashes/$1"
  rm -rf "$scratch" "$crashes"
  mkdir -p "$scratch" "$crashes"
  if "$FUZZ_BUILD/bin/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$crashes/" -print_final_stats=1 "$scratch" "$corpus" \
      >"$FUZZ_BUILD/$name.log" 2>&1; then
    echo "fuzz: $name passed ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$FUZZ_BUILD/$name.log" | grep -o '[0-9]*$') runs in ${seconds}s)"
  else
    echo "fuzz: $name FAILED, input kept in $crashes"
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$FUZZ_BUILD/$name.log" | head -n 8
    return 1
  fi
}
export -f run_target
export FUZZ_BUILD seconds

status=0
while read -r name corpus; do
  printf '%s\0%s\0' "$name" "$corpus"
done <"$FUZZ_BUILD/fuzz_targets.txt" | xargs -0 -n 2 -P 2 bash -c 'run_target "$0" "$1"' || status=1
exit $status
