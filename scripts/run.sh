#!/usr/bin/env bash
# Builds the Windows program and starts Varnolet.exe under Wine: the shipped 32-bit build where
# this machine runs 32-bit programs, else the 64-bit build under Wine's 64-bit loader. Without
# a display it runs on a private X server (Xvfb) and saves a screenshot of the started program
# after a few seconds, so that a machine without a desktop shows what started.
# Arguments go to the program (for example "16": caption without gradient).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

choose_wine_arch || exit 1
install_missing_packages "$WINE_ARCH" || exit 1
build=$(wine_build_dir)
configure_windows "$build" "$WINE_ARCH" >/dev/null &&
  cmake --build "$build" -j "$JOBS" --target Varnolet VarnoletEN || exit 1

use_wine "$WINE_ARCH" "${VARNOLET_RUN_PREFIX:-$build/wineprefix-run}" || exit 1
program="$build/bin/Varnolet.exe"
# VarnoletEN lies beside the program under its name with an English suffix, as shipped.
cp "$build/bin/VarnoletEN.dll" "$build/bin/Varnolet.ENU"
if [ "$WINE_ARCH" = win32 ]; then
  echo "Starting the 32-bit Varnolet.exe (the shipped build) with $WINELOADER"
else
  echo "Starting the 64-bit Varnolet.exe with $WINELOADER ($WINE_ARCH_WHY)"
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$WINELOADER" "$program" "$@"
fi

work="$build/run"
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  wine_server -k 2>/dev/null
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb "$work" || exit 1
echo "No DISPLAY: running on Xvfb display $DISPLAY; end it with Ctrl+C"
make_wine_prefix "$work/wineboot.log" || exit 1
start_window_manager "$work"
"$WINELOADER" "$program" "$@" &
program_pid=$!

# Waits until the program shows a window (at most a minute), then a moment for it to paint.
for _ in $(seq 120); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Varnolet\|"Dadirevovezi\|"Quorvel' && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.5
done
sleep 3
screenshot="$work/varnolet.png"
if import -display "$DISPLAY" -window root "$screenshot" 2>"$work/screenshot.log"; then
  echo "Screenshot of the started program: $screenshot"
else
  echo "The screenshot failed: $(cat "$work/screenshot.log")" >&2
fi
wait "$program_pid"
