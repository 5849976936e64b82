#!/usr/bin/env bash
# Runs Windows test programs under Wine so that the results can be trusted.
#
#   scripts/wine-test.sh [--record NAME] BUILD_DIR TEST_EXE [ARGS...]
#       runs TEST_EXE once (ARGS go to it, e.g. --gtest_filter=Suite.*);
#   scripts/wine-test.sh --start-session BUILD_DIR TEST_EXE
#   scripts/wine-test.sh --stop-session BUILD_DIR
#       start and stop a session that the runs of BUILD_DIR share (ctest does this around the
#       suites, so that each suite is its own run without paying for its own X server).
#
# - the loader that fits the program (Wine's 32-bit loader for a 32-bit program, its 64-bit
#   loader for a 64-bit one), called directly, never through the `wine` wrapper;
# - one Wine prefix per build folder (BUILD_DIR/wineprefix) of the program's architecture, made
#   once, without Mono or Gecko prompts and without the crash dialog;
# - a private X server (Xvfb on a free display) with openbox, so that focus and activation
#   behave as on a desktop, and one persistent wineserver: the session's, or the run's own;
# - the test under a time limit; it passes only with exit code 0 AND GoogleTest's summary
#   "[  PASSED  ] N tests." without any "[  FAILED  ]" line, since Wine can report 0 for a
#   program that crashed (VARNOLET_WINE_PLAIN=1: exit code 0 alone, for programs without
#   GoogleTest such as the benchmark program);
# - --record NAME writes the run's case counts to BUILD_DIR/wine-run/cases/NAME
#   ("passed failed skipped"; a crash or time-out without a failed case counts as one failure);
# - screenshots: the test writes NAME.request (a screen rectangle) into
#   BUILD_DIR/screenshots, this script grabs the X screen with ImageMagick's import and writes
#   NAME.png there.
# Environment: VARNOLET_TEST_TIMEOUT (seconds, default 300).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

usage() {
  echo "usage: $0 [--record NAME] BUILD_DIR TEST_EXE [ARGS...]" >&2
  echo "       $0 --start-session BUILD_DIR TEST_EXE | --stop-session BUILD_DIR" >&2
  exit 2
}

mode=run
record=""
case "${1:-}" in
  --watch) mode=watch; shift ;;
  --start-session) mode=start; shift ;;
  --stop-session) mode=stop; shift ;;
  --record) record=${2:-}; shift 2 || usage ;;
esac
[ $# -ge 1 ] || usage
build_dir=$(cd "$1" && pwd) || exit 2
shift
shots="$build_dir/screenshots"
work="$build_dir/wine-run"
session="$work/session"
mkdir -p "$shots" "$work"
# Wine keeps its settings below HOME; CI may run without one.
export HOME=${HOME:-$build_dir}

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
        echo "wine-test: screenshot $shots/$name.png" >>"$work/screenshot.log"
      else
        echo "wine-test: screenshot $name failed" >>"$work/screenshot.log"
      fi
      rm -f "$request"
    done
    sleep 0.2
  done
}

# The Wine environment for Program: its architecture's loader, server and prefix.
use_wine_for() {
  local program=$1 arch
  [ -f "$program" ] || { echo "wine-test: $program not found" >&2; return 2; }
  arch=$(pe_arch "$program") || return 2
  if [ "$arch" = win32 ] && ! runs_32bit_programs; then
    echo "wine-test: $program is a 32-bit program and this machine runs no 32-bit programs;" \
      "build with cmake/mingw-x86_64.cmake instead" >&2
    return 1
  fi
  use_wine "$arch" "$build_dir/wineprefix"
}

# Starts the X server, the prefix, the server, the window manager and the screenshot watcher.
start_environment() {
  start_xvfb "$work" || return 1
  make_wine_prefix "$work/wineboot.log" || return 1
  wine_server -p
  start_window_manager "$work"
  rm -f "$shots"/*.request
  # A process of its own (not a forked function), so that it keeps none of the descriptors the
  # shell holds while redirecting: neither ctest's output pipes nor the lock.
  bash "${BASH_SOURCE[0]}" --watch "$build_dir" </dev/null >/dev/null 2>&1 &
  WATCHER_PID=$!
}

stop_environment() {
  [ -n "${WATCHER_PID:-}" ] && kill "$WATCHER_PID" 2>/dev/null
  wine_server -k 2>/dev/null
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
}

# True when a session is running; then its variables are set.
session_alive() {
  [ -f "$session" ] || return 1
  # shellcheck disable=SC1090
  source "$session"
  kill -0 "${XVFB_PID:-0}" 2>/dev/null
}

stop_session() {
  if session_alive; then
    stop_environment
    echo "wine-test: session on $DISPLAY stopped"
  fi
  rm -f "$session"
}

if [ "$mode" = watch ]; then
  watch_screenshots
  exit 0
fi

# Tests of one build folder share the prefix and the display: one run at a time.
exec 9>"$build_dir/wine.lock"
flock 9

if [ "$mode" = stop ]; then
  stop_session
  exit 0
fi

if [ "$mode" = start ]; then
  [ $# -ge 1 ] || usage
  stop_session
  use_wine_for "$1" || exit 1
  # The session outlives this script: its processes get no handle of ctest's output pipes.
  # Nor the lock (descriptor 9), which would otherwise stay taken.
  start_environment </dev/null >>"$work/session.log" 2>&1 9>&- || { stop_environment; exit 1; }
  cat >"$session" <<EOF
export DISPLAY=$DISPLAY WINEARCH=$WINEARCH WINEPREFIX=$WINEPREFIX WINELOADER=$WINELOADER
export WINESERVER=$WINESERVER WINEDLLOVERRIDES="$WINEDLLOVERRIDES" WINEDEBUG=$WINEDEBUG
XVFB_PID=$XVFB_PID WM_PID=$WM_PID WATCHER_PID=$WATCHER_PID
EOF
  echo "wine-test: session on $DISPLAY ($WINEARCH, $WINELOADER, $WINEPREFIX)"
  exit 0
fi

[ $# -ge 1 ] || usage
test_exe=$1
shift
test_name=$(basename "$test_exe" .exe)
log="$work/${record:-$test_name}.log"

# The run's counts of passed, failed and skipped cases, for --record.
write_record() {
  local rc=$1 passed failed skipped
  [ -n "$record" ] || return 0
  mkdir -p "$work/cases"
  passed=$(grep -c '^\[       OK \]' "$log")
  failed=$(grep -Ec '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$log")
  skipped=$(grep -Ec '^\[  SKIPPED \] .* \([0-9]+ ms\)$' "$log")
  [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ] && failed=1
  echo "$passed $failed $skipped" >"$work/cases/$record"
}

use_wine_for "$test_exe" || exit 1
if session_alive && [ "$WINEPREFIX" = "$build_dir/wineprefix" ]; then
  own_environment=no
else
  own_environment=yes
  trap stop_environment EXIT
  start_environment 9>&- || exit 1
fi
echo "wine-test: $test_name ($WINEARCH) with $WINELOADER on $DISPLAY $*"

# Windows sees the screenshot folder through drive Z:, Wine's view of /.
export VARNOLET_SCREENSHOT_DIR="Z:${shots//\//\\}"
# Wine's own processes that the program starts may stay with the session: none holds the lock.
timeout -k 10 "${VARNOLET_TEST_TIMEOUT:-300}" "$WINELOADER" "$test_exe" --gtest_color=no "$@" \
  </dev/null >"$log" 2>&1 9>&-
rc=$?
cat "$log"

verdict=0
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
  echo "wine-test: $test_name timed out" >&2
  verdict=1
elif [ $rc -ne 0 ]; then
  echo "wine-test: $test_name exited with $rc" >&2
  verdict=1
elif [ "${VARNOLET_WINE_PLAIN:-0}" = 1 ]; then
  echo "wine-test: $test_name exited with 0"
elif ! grep -Eq '^\[  PASSED  \] [0-9]+ tests?\.' "$log" || grep -q '^\[  FAILED  \]' "$log"; then
  echo "wine-test: $test_name exited with 0 but without GoogleTest's passing summary" >&2
  verdict=1
else
  echo "wine-test: $test_name passed"
fi
write_record "$verdict"
exit "$verdict"
