#!/usr/bin/env bash
# Runs one Windows test program under Wine so that the result can be trusted:
#   scripts/wine-test.sh BUILD_DIR TEST_EXE [ARGS...]
# - the loader that fits the program (Wine's 32-bit loader for a 32-bit program, its 64-bit
#   loader for a 64-bit one), called directly, never through the `wine` wrapper;
# - one Wine prefix per build folder (BUILD_DIR/wineprefix) of the program's architecture, made
#   once, without Mono or Gecko prompts and without the crash dialog;
# - a private X server (Xvfb on a free display) with openbox, so that focus and activation
#   behave as on a desktop;
# - one persistent wineserver for the run, stopped at the end;
# - the test under a time limit; it passes only with exit code 0 AND GoogleTest's summary
#   "[  PASSED  ] N tests." without any "[  FAILED  ]" line, since Wine can report 0 for a
#   program that crashed (VARNOLET_WINE_PLAIN=1: exit code 0 alone, for programs without
#   GoogleTest such as the benchmark program);
# - screenshots: the test writes NAME.request (a screen rectangle) into
#   BUILD_DIR/screenshots, this script grabs the X screen with ImageMagick's import and writes NAME.png there.
# Environment: VARNOLET_TEST_TIMEOUT (seconds, default 300).
set -u

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR TEST_EXE [ARGS...]" >&2
  exit 2
fi
build_dir=$(cd "$1" && pwd) || exit 2
test_exe=$2
shift 2
[ -f "$test_exe" ] || { echo "wine-test: $test_exe not found" >&2; exit 2; }
test_name=$(basename "$test_exe" .exe)

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# Wine keeps its settings below HOME; CI may run without one.
export HOME=${HOME:-$build_dir}
arch=$(pe_arch "$test_exe") || exit 2
if [ "$arch" = win32 ] && ! runs_32bit_programs; then
  echo "wine-test: $test_exe is a 32-bit program and this machine runs no 32-bit programs;" \
    "build with cmake/mingw-x86_64.cmake instead" >&2
  exit 1
fi
use_wine "$arch" "$build_dir/wineprefix" || exit 1
echo "wine-test: $test_name ($arch) with $WINELOADER in $WINEPREFIX"
shots="$build_dir/screenshots"
work="$build_dir/wine-run"
mkdir -p "$shots" "$work"
log="$work/$test_name.log"

# Tests of one build folder share the prefix: run them one after the other.
exec 9>"$build_dir/wine.lock"
flock 9

watcher_pid=""
cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null
  wine_server -k 2>/dev/null
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

# Answers the test's screenshot requests until it is stopped.
watch_screenshots() {
  while true; do
    local request
    for request in "$shots"/*.request; do
      [ -f "$request" ] || continue
      local name geometry
      name=$(basename "$request" .request)
      geometry=$(head -n1 "$request")
      # ImageMagick reads the screen as it is composed; xwd's root dump shows a Wine window that
      # lies over another Wine window as black.
      if import -display "$DISPLAY" -window root -crop "$geometry" +repage \
          "png:$shots/$name.png.tmp" 2>>"$work/screenshot.log"; then
        mv "$shots/$name.png.tmp" "$shots/$name.png"
        echo "wine-test: screenshot $shots/$name.png"
      else
        echo "wine-test: screenshot $name failed" >&2
      fi
      rm -f "$request"
    done
    sleep 0.2
  done
}

start_xvfb "$work" || exit 1
make_wine_prefix "$work/wineboot.log" || exit 1
wine_server -p
start_window_manager "$work"
rm -f "$shots"/*.request
watch_screenshots &
watcher_pid=$!

# Windows sees the screenshot folder through drive Z:, Wine's view of /.
export VARNOLET_SCREENSHOT_DIR="Z:${shots//\//\\}"
timeout -k 10 "${VARNOLET_TEST_TIMEOUT:-300}" "$WINELOADER" "$test_exe" --gtest_color=no "$@" \
  </dev/null >"$log" 2>&1
rc=$?
cat "$log"

if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
  echo "wine-test: $test_name timed out" >&2
  exit 1
fi
if [ $rc -ne 0 ]; then
  echo "wine-test: $test_name exited with $rc" >&2
  exit 1
fi
if [ "${VARNOLET_WINE_PLAIN:-0}" = 1 ]; then
  echo "wine-test: $test_name exited with 0"
  exit 0
fi
if ! grep -Eq '^\[  PASSED  \] [0-9]+ tests?\.' "$log" || grep -q '^\[  FAILED  \]' "$log"; then
  echo "wine-test: $test_name exited with 0 but without GoogleTest's passing summary" >&2
  exit 1
fi
echo "wine-test: $test_name passed"
