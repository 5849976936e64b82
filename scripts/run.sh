#!/usr/bin/env bash
# Builds the Windows program and starts Varnolet.exe under Wine. Without a display it runs on a
# private X server (Xvfb), so it can be started on a machine without a desktop.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing_packages || exit 1
configure_win32 && cmake --build "$WIN32_BUILD" -j "$JOBS" || exit 1

export WINEPREFIX=${WINEPREFIX:-$WIN32_BUILD/wineprefix-run}
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}

program="$WIN32_BUILD/bin/Varnolet.exe"
# VarnoletEN lies beside the program under its name with an English suffix, as shipped.
cp "$WIN32_BUILD/bin/VarnoletEN.dll" "$WIN32_BUILD/bin/Varnolet.ENU"

if [ -z "${DISPLAY:-}" ]; then
  echo "No DISPLAY: running on Xvfb; close the program with: WINEPREFIX=$WINEPREFIX wineserver -k"
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$program" "$@"
fi
exec wine "$program" "$@"
