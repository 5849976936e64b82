# Shared by test.sh and run.sh: folders and the installation of what the builds need.
# Source it; it defines VARNOLET_ROOT, NATIVE_BUILD, WIN32_BUILD and install_missing_packages.

VARNOLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NATIVE_BUILD=${VARNOLET_NATIVE_BUILD:-$VARNOLET_ROOT/build/native}
WIN32_BUILD=${VARNOLET_WIN32_BUILD:-$VARNOLET_ROOT/build/win32}
JOBS=${VARNOLET_JOBS:-2}

VARNOLET_PACKAGES=(wine wine32:i386 xvfb x11-apps imagemagick openbox g++-mingw-w64-i686
                   googletest libgtest-dev libgmock-dev cmake ninja-build g++ fonts-liberation fonts-wine
                   libbenchmark-dev rapidjson-dev libsqlite3-dev)

# Installs the Debian packages that are not installed yet; does nothing when all are there.
install_missing_packages() {
  local missing=() package
  for package in "${VARNOLET_PACKAGES[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Not root: install these packages first (apt-get install ${missing[*]})" >&2
    return 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 || return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || return 1
  apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

configure_native() {
  cmake -S "$VARNOLET_ROOT" -B "$NATIVE_BUILD" -G Ninja
}

configure_win32() {
  cmake -S "$VARNOLET_ROOT" -B "$WIN32_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$VARNOLET_ROOT/cmake/mingw-i686.cmake"
}
