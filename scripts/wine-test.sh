#!/usr/bin/env bash
# Runs one Win32 test program under Wine so that the result can be trusted:
#   scripts/wine-test.sh BUILD_DIR TEST_EXE [ARGS...]
# - one Wine prefix per build folder (BUILD_DIR/wineprefix), made once, without Mono or Gecko
#   prompts and without the crash dialog;
# - a private X server (Xvfb on a free display) with openbox, so that focus and activation
#   behave as on a desktop;
# - one persistent wineserver for the run, stopped at the end;
# - the test under a time limit; it passes only with exit code 0 AND GoogleTest's summary
#   "[  PASSED  ] N tests." without any "[  FAILED  ]" line, since Wine can report 0 for a
#   program that crashed;
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

# Wine keeps its settings below HOME; CI may run without one.
export HOME=${HOME:-$build_dir}
export WINEPREFIX="$build_dir/wineprefix"
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
unset WINESERVER
shots="$build_dir/screenshots"
work="$build_dir/wine-run"
mkdir -p "$shots" "$work"
log="$work/$test_name.log"

# Tests of one build folder share the prefix: run them one after the other.
exec 9>"$build_dir/wine.lock"
flock 9

xvfb_pid=""
wm_pid=""
watcher_pid=""
cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

start_xvfb() {
  local display_file="$work/display"
  rm -f "$display_file"
  # -displayfd lets the server pick a free display and tell its number.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local i
  for i in $(seq 100); do
    if [ -s "$display_file" ]; then
      export DISPLAY=":$(head -n1 "$display_file")"
      return 0
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "wine-test: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  return 1
}

start_window_manager() {
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  # openbox owns the WM_Sn selection once it manages the screen; give it a moment.
  sleep 1
}

make_prefix() {
  local ready="$WINEPREFIX/.varnolet-ready-4"
  [ -f "$ready" ] && return 0
  rm -rf "$WINEPREFIX"
  echo "wine-test: creating the Wine prefix $WINEPREFIX"
  timeout 300 wineboot -i >"$work/wineboot.log" 2>&1 || {
    echo "wine-test: wineboot failed" >&2; tail -20 "$work/wineboot.log" >&2; return 1; }
  timeout 120 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD \
    /d 0 /f >>"$work/wineboot.log" 2>&1 || {
    echo "wine-test: wine reg add failed" >&2; tail -20 "$work/wineboot.log" >&2; return 1; }
  # Windows draw their own frames and captions, as on Windows, so that the program's caption
  # painting is what the screenshots show; openbox still handles focus and activation.
  timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ \
    /d N /f >>"$work/wineboot.log" 2>&1 || {
    echo "wine-test: wine reg add failed" >&2; tail -20 "$work/wineboot.log" >&2; return 1; }
  # Caption texts in white, as the standard Windows scheme has them (Wine's own is black).
  timeout 120 wine reg add 'HKCU\Control Panel\Colors' /v TitleText /t REG_SZ \
    /d '255 255 255' /f >>"$work/wineboot.log" 2>&1 || true
  # Caption buttons are drawn with the symbol font Marlett; Debian's Wine does not find its
  # own copy, so the prefix gets one in its Fonts folder.
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  wineserver -w
  touch "$ready"
}

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

start_xvfb || exit 1
make_prefix || exit 1
wineserver -p
start_window_manager
rm -f "$shots"/*.request
watch_screenshots &
watcher_pid=$!

# Windows sees the screenshot folder through drive Z:, Wine's view of /.
export VARNOLET_SCREENSHOT_DIR="Z:${shots//\//\\}"
timeout -k 10 "${VARNOLET_TEST_TIMEOUT:-300}" wine "$test_exe" --gtest_color=no "$@" \
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
if ! grep -Eq '^\[  PASSED  \] [0-9]+ tests?\.' "$log" || grep -q '^\[  FAILED  \]' "$log"; then
  echo "wine-test: $test_name exited with 0 but without GoogleTest's passing summary" >&2
  exit 1
fi
echo "wine-test: $test_name passed"
