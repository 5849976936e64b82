# Shared by test.sh, run.sh, bench.sh and wine-test.sh: folders, the choice of the Windows
# architecture that runs under Wine, the Wine environment for it, a private X server, and the
# installation of what the builds need. Source it; it only defines variables and functions.
#
# The shipped program is the 32-bit build. Wine runs it with its 32-bit loader, which needs a
# kernel that runs 32-bit programs. Some machines run none ("Exec format error"): there the
# Wine tests run a 64-bit build of the same sources under Wine's 64-bit loader, in a 64-bit
# prefix of its own, and the 32-bit build is still built. Debian's `wine` wrapper always takes
# the 32-bit loader when wine32 is installed, so the loaders are called directly.

VARNOLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NATIVE_BUILD=${VARNOLET_NATIVE_BUILD:-$VARNOLET_ROOT/build/native}
WIN32_BUILD=${VARNOLET_WIN32_BUILD:-$VARNOLET_ROOT/build/win32}
WIN64_BUILD=${VARNOLET_WIN64_BUILD:-$VARNOLET_ROOT/build/win64}
JOBS=${VARNOLET_JOBS:-2}

# Wine's loaders and servers as Debian installs them (packages wine32:i386 and wine64).
WINE_LOADER_32=${VARNOLET_WINE_LOADER_32:-/usr/lib/wine/wine}
WINE_LOADER_64=${VARNOLET_WINE_LOADER_64:-/usr/lib/wine/wine64}
WINE_SERVER_32=${VARNOLET_WINE_SERVER_32:-/usr/lib/wine/wineserver32}
WINE_SERVER_64=${VARNOLET_WINE_SERVER_64:-/usr/lib/wine/wineserver64}

COMMON_PACKAGES=(xvfb x11-apps x11-utils imagemagick openbox g++-mingw-w64-i686
                 googletest libgtest-dev libgmock-dev cmake ninja-build g++ fonts-liberation
                 fonts-wine libbenchmark-dev rapidjson-dev libsqlite3-dev clang libclang-rt-14-dev)
WIN32_PACKAGES=(wine wine32:i386)
WIN64_PACKAGES=(wine wine64 g++-mingw-w64-x86-64)

# Writes a minimal static i386 Linux program to File: it only exits with status 42.
write_32bit_probe() {
  local file=$1
  # ELF header (52 bytes), one loadable segment at 0x08048000 (32 bytes), then the code:
  # mov ebx, 42; mov eax, 1 (exit); int 0x80.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$file"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$file"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$file"
  printf '\x00\x00\x00\x00' >>"$file"
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$file"
  printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$file"
  printf '\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >>"$file"
  chmod +x "$file"
}

# True when Program (default: the probe above) starts and exits with 42, that is when this
# machine runs 32-bit programs.
runs_32bit_programs() {
  local probe=${1:-} made="" status
  if [ -z "$probe" ]; then
    probe=$(mktemp "${TMPDIR:-/tmp}/varnolet-probe32.XXXXXX") || return 1
    write_32bit_probe "$probe"
    made=$probe
  fi
  "$probe" >/dev/null 2>&1
  status=$?
  [ -n "$made" ] && rm -f "$made"
  [ "$status" -eq 42 ]
}

# Decides once which architecture runs under Wine and says so: sets WINE_ARCH (win32 or
# win64) and WINE_ARCH_WHY. VARNOLET_WINE_ARCH (win32 or win64) forces the choice.
choose_wine_arch() {
  case "${VARNOLET_WINE_ARCH:-}" in
    win32 | win64)
      WINE_ARCH=$VARNOLET_WINE_ARCH
      WINE_ARCH_WHY="forced by VARNOLET_WINE_ARCH=$VARNOLET_WINE_ARCH" ;;
    "")
      if runs_32bit_programs; then
        WINE_ARCH=win32
        WINE_ARCH_WHY="this machine runs 32-bit programs"
      else
        WINE_ARCH=win64
        WINE_ARCH_WHY="this machine runs no 32-bit programs (a 32-bit probe could not start)"
      fi ;;
    *)
      echo "VARNOLET_WINE_ARCH must be win32 or win64, not '$VARNOLET_WINE_ARCH'" >&2
      return 1 ;;
  esac
  export VARNOLET_WINE_ARCH=$WINE_ARCH
  if [ "$WINE_ARCH" = win32 ]; then
    echo "Windows architecture under Wine: 32-bit, the shipped build ($WINE_ARCH_WHY)"
  else
    echo "Windows architecture under Wine: 64-bit build, Wine's 64-bit loader ($WINE_ARCH_WHY)"
  fi
}

# The architecture of a Windows program file: win32 (i386) or win64 (x86-64), from the machine
# field of its PE header.
pe_arch() {
  local file=$1 offset signature machine
  offset=$(od -An -tu4 -j60 -N4 "$file" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$offset" ] || { echo "pe_arch: $file is not a Windows program" >&2; return 1; }
  signature=$(od -An -tx1 -j"$offset" -N4 "$file" 2>/dev/null | tr -d ' ')
  [ "$signature" = 50450000 ] || { echo "pe_arch: $file is not a Windows program" >&2; return 1; }
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$file" | tr -d ' ')
  case "$machine" in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) echo "pe_arch: $file is for machine 0x$machine" >&2; return 1 ;;
  esac
}

# Sets up the environment for running Windows programs of Arch in the prefix Prefix: WINEARCH,
# WINEPREFIX, WINELOADER and WINESERVER (the loader and server that fit, never the wrapper),
# no Mono or Gecko prompts, quiet debug output. wine_run then starts a program.
use_wine() {
  local arch=$1 prefix=$2
  export WINEARCH=$arch WINEPREFIX=$prefix
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=${WINEDEBUG:--all}
  if [ "$arch" = win32 ]; then
    export WINELOADER=$WINE_LOADER_32
    if [ -x "$WINE_SERVER_32" ]; then export WINESERVER=$WINE_SERVER_32; else export WINESERVER=$WINE_SERVER_64; fi
  else
    export WINELOADER=$WINE_LOADER_64 WINESERVER=$WINE_SERVER_64
  fi
  [ -x "$WINELOADER" ] || { echo "Wine's loader $WINELOADER is missing" >&2; return 1; }
  [ -x "$WINESERVER" ] || { echo "Wine's server $WINESERVER is missing" >&2; return 1; }
}

wine_run() { "$WINELOADER" "$@"; }
wine_server() { "$WINESERVER" "$@"; }

# Starts a private X server on a free display and exports DISPLAY; XVFB_PID is its process.
# LogDir receives its log and the display number.
start_xvfb() {
  local log_dir=$1 display_file="$1/display" i
  mkdir -p "$log_dir"
  rm -f "$display_file"
  # -displayfd lets the server pick a free display and tell its number.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" \
    >"$log_dir/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for i in $(seq 100); do
    if [ -s "$display_file" ]; then
      export DISPLAY=":$(head -n1 "$display_file")"
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  cat "$log_dir/xvfb.log" >&2
  return 1
}

# Starts openbox on the current display, so that focus and activation behave as on a desktop;
# WM_PID is its process.
start_window_manager() {
  openbox --sm-disable >"$1/openbox.log" 2>&1 &
  WM_PID=$!
  # openbox owns the WM_Sn selection once it manages the screen; give it a moment.
  sleep 1
}

# Makes the Wine prefix of use_wine once (a marker file tells it is complete): no crash dialog,
# windows draw their own frames, white caption texts, the Marlett font. Log receives Wine's
# output.
make_wine_prefix() {
  local log=$1 ready="$WINEPREFIX/.varnolet-ready-4-$WINEARCH"
  [ -f "$ready" ] && return 0
  rm -rf "$WINEPREFIX"
  echo "Creating the Wine prefix $WINEPREFIX"
  timeout 300 "$WINELOADER" wineboot.exe -i >"$log" 2>&1 || {
    echo "wineboot failed" >&2; tail -20 "$log" >&2; return 1; }
  timeout 120 "$WINELOADER" reg.exe add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f >>"$log" 2>&1 || {
    echo "reg add failed" >&2; tail -20 "$log" >&2; return 1; }
  # Windows draw their own frames and captions, as on Windows, so that the program's caption
  # painting is what the screenshots show; openbox still handles focus and activation.
  timeout 120 "$WINELOADER" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Decorated \
    /t REG_SZ /d N /f >>"$log" 2>&1 || {
    echo "reg add failed" >&2; tail -20 "$log" >&2; return 1; }
  # Caption texts in white, as the standard Windows scheme has them (Wine's own is black).
  timeout 120 "$WINELOADER" reg.exe add 'HKCU\Control Panel\Colors' /v TitleText /t REG_SZ \
    /d '255 255 255' /f >>"$log" 2>&1 || true
  # Caption buttons are drawn with the symbol font Marlett; Debian's Wine does not find its
  # own copy, so the prefix gets one in its Fonts folder.
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  wine_server -w
  touch "$ready"
}

# The Debian packages a run needs on a machine whose Wine architecture is Arch.
packages_for() {
  local arch=$1 packages=("${COMMON_PACKAGES[@]}")
  if [ "$arch" = win32 ]; then
    packages+=("${WIN32_PACKAGES[@]}")
    # The 64-bit build is also made where 32-bit programs run, to prove the sources are clean
    # for it (VARNOLET_WIN64_BUILD=0 skips it).
    [ "${VARNOLET_WIN64_BUILD:-1}" != 0 ] && packages+=(g++-mingw-w64-x86-64)
  else
    packages+=("${WIN64_PACKAGES[@]}")
  fi
  echo "${packages[@]}"
}

# Installs the Debian packages for Arch that are not installed yet; does nothing when all are.
install_missing_packages() {
  local arch=${1:-${WINE_ARCH:-win32}} missing=() package
  for package in $(packages_for "$arch"); do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Not root: install these packages first (apt-get install ${missing[*]})" >&2
    return 1
  fi
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 || return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || return 1
  apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

# Adds the counts of a ctest log to the totals passed, failed and skipped. Each entry counts once, except the Wine suites, which count
# their cases (the records wine-test.sh wrote into RECORDS) and the Wine session's start and
# stop, which count only when they fail. A log without ctest's summary (a crash of ctest
# itself) counts as one failure.
count_ctest() {
  local log=$1 records=${2:-} name status counts p f s
  if ! grep -Eq '[0-9]+ tests? failed out of [0-9]+' "$log"; then
    grep -q 'No tests were found' "$log" && echo "No tests found in $(dirname "$log")" >&2
    failed=$((failed + 1))
    return
  fi
  while read -r name status; do
    if [ "$status" = Passed ]; then status=pass; else status=fail; fi
    if [[ $name == wine.session.* ]]; then
      [ "$status" = fail ] && failed=$((failed + 1))
    elif [ -n "$records" ] && [ -f "$records/$name" ]; then
      read -r p f s <"$records/$name"
      passed=$((passed + p))
      failed=$((failed + f))
      skipped=$((skipped + s))
    elif [ "$status" = pass ]; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
    fi
  done < <(sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.*[ *]*([A-Za-z]+).*/\1 \2/p' "$log")
}

configure_native() {
  cmake -S "$VARNOLET_ROOT" -B "$NATIVE_BUILD" -G Ninja
}

# Configures a Windows build: configure_windows BUILD_DIR win32|win64 [CMAKE_ARGS...]
configure_windows() {
  local build=$1 arch=$2 toolchain
  shift 2
  if [ "$arch" = win32 ]; then toolchain=mingw-i686.cmake; else toolchain=mingw-x86_64.cmake; fi
  cmake -S "$VARNOLET_ROOT" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$VARNOLET_ROOT/cmake/$toolchain" "$@"
}

# The build folder of the Windows build that runs under Wine on this machine.
wine_build_dir() {
  if [ "$WINE_ARCH" = win32 ]; then echo "$WIN32_BUILD"; else echo "$WIN64_BUILD"; fi
}
