#!/usr/bin/env bash
# Builds Varnolet natively and for Windows, runs the native tests and then the Wine tests, and
# ends with one line "N passed, N failed" over both runs. Exits non-zero on any failure.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

passed=0
failed=0

# Adds the counts of a ctest log ("...tests passed, F tests failed out of T"); a run without
# that line (a crash of ctest itself) counts as one failure.
count_ctest() {
  local log=$1 summary total fails
  summary=$(grep -E '[0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [ -z "$summary" ]; then
    if grep -q 'No tests were found' "$log"; then
      echo "No tests found in $(basename "$(dirname "$log")")" >&2
    fi
    failed=$((failed + 1))
    return
  fi
  fails=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
  passed=$((passed + total - fails))
  failed=$((failed + fails))
}

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

install_missing_packages || { echo "Installing the build tools failed" >&2; failed=1; finish; }

echo "== Native build ($NATIVE_BUILD)"
if configure_native && cmake --build "$NATIVE_BUILD" -j "$JOBS"; then
  echo "== Native tests"
  ctest --test-dir "$NATIVE_BUILD" -j "$JOBS" --output-on-failure 2>&1 | tee "$NATIVE_BUILD/ctest.log"
  count_ctest "$NATIVE_BUILD/ctest.log"
else
  echo "Native build failed" >&2
  failed=$((failed + 1))
fi

echo "== Windows build ($WIN32_BUILD)"
if configure_win32 && cmake --build "$WIN32_BUILD" -j "$JOBS"; then
  echo "== Wine tests"
  ctest --test-dir "$WIN32_BUILD" --output-on-failure 2>&1 | tee "$WIN32_BUILD/ctest.log"
  count_ctest "$WIN32_BUILD/ctest.log"
  ls "$WIN32_BUILD"/screenshots/*.png 2>/dev/null | sed 's/^/Screenshot: /'
else
  echo "Windows build failed" >&2
  failed=$((failed + 1))
fi

finish
