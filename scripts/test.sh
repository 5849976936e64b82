#!/usr/bin/env bash
# Builds Varnolet natively and for Windows, runs the native tests, the fuzz targets for a short
# fixed time, and the Wine tests, and ends with one line "N passed, N failed" over all of them
# (cases, not programs). Exits non-zero on any failure. VARNOLET_FUZZ_SECONDS=0 skips fuzzing.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

passed=0
failed=0
skipped=0

finish() {
  [ "$skipped" -gt 0 ] && echo "$skipped cases skipped (platform gaps named in their output)"
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

choose_wine_arch || { failed=1; finish; }
install_missing_packages "$WINE_ARCH" || { echo "Installing the build tools failed" >&2; failed=1; finish; }

echo "== Native build ($NATIVE_BUILD)"
if configure_native && cmake --build "$NATIVE_BUILD" -j "$JOBS"; then
  echo "== Native tests"
  ctest --test-dir "$NATIVE_BUILD" -j "$JOBS" --output-on-failure 2>&1 | tee "$NATIVE_BUILD/ctest.log"
  count_ctest "$NATIVE_BUILD/ctest.log"
else
  echo "Native build failed" >&2
  failed=$((failed + 1))
fi

# The fuzz targets, a fixed time each over their corpora (old crash inputs included): each
# target counts as one case.
if [ "${VARNOLET_FUZZ_SECONDS:-20}" != 0 ]; then
  echo "== Fuzz targets (${VARNOLET_FUZZ_SECONDS:-20} s each)"
  mkdir -p "$VARNOLET_ROOT/build"
  bash "$VARNOLET_ROOT/scripts/fuzz.sh" 2>&1 | tee "$VARNOLET_ROOT/build/fuzz.log"
  fuzz_passed=$(grep -c '^fuzz: .* passed' "$VARNOLET_ROOT/build/fuzz.log")
  fuzz_failed=$(grep -c '^fuzz: .* FAILED' "$VARNOLET_ROOT/build/fuzz.log")
  # A build that failed before any target ran is one failure.
  [ $((fuzz_passed + fuzz_failed)) -eq 0 ] && fuzz_failed=1
  passed=$((passed + fuzz_passed))
  failed=$((failed + fuzz_failed))
fi

# Builds one Windows architecture and runs its ctest cases: build_and_test_windows BUILD_DIR
# ARCH TITLE WINE_TESTS(ON/OFF) RUN(yes/no) [CMAKE_ARGS...]
build_and_test_windows() {
  local build=$1 arch=$2 title=$3 wine_tests=$4 run=$5
  shift 5
  echo "== $title ($build)"
  if ! configure_windows "$build" "$arch" -DVARNOLET_WINE_TESTS="$wine_tests" "$@" ||
     ! cmake --build "$build" -j "$JOBS"; then
    echo "$title failed" >&2
    failed=$((failed + 1))
    return
  fi
  [ "$run" = yes ] || return
  echo "== Tests of the $title"
  rm -rf "$build/wine-run/cases"
  ctest --test-dir "$build" --output-on-failure 2>&1 | tee "$build/ctest.log"
  count_ctest "$build/ctest.log" "$build/wine-run/cases"
  ls "$build"/screenshots/*.png 2>/dev/null | sed 's/^/Screenshot: /'
}

if [ "$WINE_ARCH" = win32 ]; then
  build_and_test_windows "$WIN32_BUILD" win32 "32-bit Windows build, Wine tests on 32-bit" ON yes
  # The 64-bit build proves the sources stay clean for it; its tests run where 32-bit
  # programs cannot.
  if [ "${VARNOLET_WIN64_BUILD:-1}" != 0 ]; then
    # Compiled with light optimisation and without debug information: it is only compiled.
    build_and_test_windows "$WIN64_BUILD" win64 "64-bit Windows build, compiled only" ON no \
      -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS=-O1
  fi
else
  # The shipped 32-bit program and resource library are still built and checked.
  build_and_test_windows "$WIN32_BUILD" win32 "32-bit Windows build, shipped files only" OFF yes
  build_and_test_windows "$WIN64_BUILD" win64 "64-bit Windows build, Wine tests on 64-bit" ON yes
fi
echo "Wine tests ran on: $([ "$WINE_ARCH" = win32 ] && echo "32-bit (i686)" || echo "64-bit (x86_64)") Windows, $WINE_ARCH_WHY"

finish
