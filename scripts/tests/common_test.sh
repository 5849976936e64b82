#!/usr/bin/env bash
# Checks the shared script functions on any machine: the choice of the Windows architecture
# under Wine and of its loader, server and prefix (fake loaders stand in for Wine's, and the
# 32-bit probe is also run as a program for another processor, which no machine here starts),
# and the counting of ctest logs.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAILED: $1: expected '$2', got '$3'"
    failures=$((failures + 1))
  else
    echo "ok: $1"
  fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The probe either runs (42) or the kernel refuses it (126, "Exec format error"); anything else
# means a broken probe.
write_32bit_probe "$work/probe"
"$work/probe" >/dev/null 2>&1
status=$?
check "the 32-bit probe runs or is refused by the kernel" yes \
  "$([ $status -eq 42 ] || [ $status -eq 126 ] && echo yes || echo "no ($status)")"
if runs_32bit_programs; then answer=42; else answer=126; fi
check "runs_32bit_programs agrees with the probe's own exit status" "$status" "$answer"

# The same program for an ARM processor (machine 0x28) never starts on these machines.
cp "$work/probe" "$work/arm"
printf '\x28' | dd of="$work/arm" bs=1 seek=18 conv=notrunc 2>/dev/null
check "a program the kernel refuses counts as no 32-bit" no \
  "$(runs_32bit_programs "$work/arm" && echo yes || echo no)"

# Forcing the choice, both ways, and a wrong value.
for arch in win32 win64; do
  chosen=$(VARNOLET_WINE_ARCH=$arch bash -c "source '$VARNOLET_ROOT/scripts/common.sh'; choose_wine_arch >/dev/null; echo \$WINE_ARCH")
  check "VARNOLET_WINE_ARCH=$arch forces $arch" "$arch" "$chosen"
done
check "a wrong VARNOLET_WINE_ARCH is refused" refused \
  "$(VARNOLET_WINE_ARCH=win16 bash -c "source '$VARNOLET_ROOT/scripts/common.sh'; choose_wine_arch" >/dev/null 2>&1 && echo accepted || echo refused)"
message=$(VARNOLET_WINE_ARCH=win32 bash -c "source '$VARNOLET_ROOT/scripts/common.sh'; choose_wine_arch")
check "the chosen case is named" yes "$([[ $message == *32-bit* ]] && echo yes || echo no)"

# Loaders and servers: fake executables where Wine's would be.
for name in wine wine64 wineserver32 wineserver64; do
  printf '#!/bin/sh\necho %s "$@"\n' "$name" >"$work/$name"
  chmod +x "$work/$name"
done
WINE_LOADER_32=$work/wine WINE_LOADER_64=$work/wine64
WINE_SERVER_32=$work/wineserver32 WINE_SERVER_64=$work/wineserver64
use_wine win32 "$work/prefix32"
check "32-bit: loader" "$work/wine" "$WINELOADER"
check "32-bit: server" "$work/wineserver32" "$WINESERVER"
check "32-bit: prefix architecture" win32 "$WINEARCH"
check "32-bit: prefix" "$work/prefix32" "$WINEPREFIX"
check "wine_run calls the loader itself" "wine test.exe 1" "$(wine_run test.exe 1)"
use_wine win64 "$work/prefix64"
check "64-bit: loader" "$work/wine64" "$WINELOADER"
check "64-bit: server" "$work/wineserver64" "$WINESERVER"
check "64-bit: prefix architecture" win64 "$WINEARCH"
check "64-bit: prefix" "$work/prefix64" "$WINEPREFIX"
check "wine_server calls the server itself" "wineserver64 -k" "$(wine_server -k)"
WINE_SERVER_32=$work/missing
use_wine win32 "$work/prefix32"
check "32-bit without the 32-bit server: the 64-bit one" "$work/wineserver64" "$WINESERVER"
WINE_LOADER_64=$work/missing
check "a missing loader is an error" error "$(use_wine win64 "$work/p" 2>/dev/null && echo ok || echo error)"

# The architecture of Windows programs, read from their PE header.
pe_file() {  # pe_file FILE MACHINE_BYTES
  head -c 128 /dev/zero >"$1"
  printf 'MZ' | dd of="$1" conv=notrunc 2>/dev/null
  printf '\x40\x00\x00\x00' | dd of="$1" bs=1 seek=60 conv=notrunc 2>/dev/null
  printf "PE\\x00\\x00$2" | dd of="$1" bs=1 seek=64 conv=notrunc 2>/dev/null
}
pe_file "$work/a.exe" '\x4c\x01'
check "an i386 program is win32" win32 "$(pe_arch "$work/a.exe")"
pe_file "$work/b.exe" '\x64\x86'
check "an x86-64 program is win64" win64 "$(pe_arch "$work/b.exe")"
pe_file "$work/c.exe" '\xc0\x01'
check "an ARM program is refused" refused "$(pe_arch "$work/c.exe" 2>/dev/null || echo refused)"
check "a file without a PE header is refused" refused "$(pe_arch "$work/probe" 2>/dev/null || echo refused)"

# Packages: the 32-bit loader only where it is used.
check "64-bit machines get wine64 and the 64-bit compiler, not wine32" "yes yes no" \
  "$(p=" $(packages_for win64) "; for w in wine64 g++-mingw-w64-x86-64 wine32:i386; do [[ $p == *" $w "* ]] && printf yes || printf no; [ $w != wine32:i386 ] && printf ' '; done)"
check "32-bit machines get wine32" yes "$([[ " $(packages_for win32) " == *" wine32:i386 "* ]] && echo yes || echo no)"

# Counting a ctest log: Wine suites by their recorded cases, the session only when it fails,
# everything else once.
mkdir -p "$work/records"
echo "12 1 2" >"$work/records/wine.DragTest"
echo "5 0 0" >"$work/records/wine.FormTest"
cat >"$work/ctest.log" <<'LOG'
 1/7 Test #1: wine.session.start ...............   Passed    3.02 sec
 2/7 Test #2: wine.DragTest .....................***Failed   12.00 sec
 3/7 Test #3: wine.FormTest .....................   Passed    2.00 sec
 4/7 Test #4: wine.MenuTest .....................***Timeout 400.00 sec
 5/7 Test #5: varnolet_en_resource_only .........   Passed    0.01 sec
 6/7 Test #6: wine.suites .......................   Passed    1.00 sec
 7/7 Test #7: wine.session.stop .................   Passed    0.50 sec

71% tests passed, 2 tests failed out of 7
LOG
passed=0 failed=0 skipped=0
count_ctest "$work/ctest.log" "$work/records"
check "a ctest log counts cases of recorded suites, entries of the rest" "19 2 2" "$passed $failed $skipped"
sed -i 's/session.stop .................   Passed/session.stop .................***Failed/' "$work/ctest.log"
passed=0 failed=0 skipped=0
count_ctest "$work/ctest.log" "$work/records"
check "a failing session stop counts as a failure" "19 3 2" "$passed $failed $skipped"
head -n 3 "$work/ctest.log" >"$work/crashed.log"
passed=0 failed=0 skipped=0
count_ctest "$work/crashed.log" "$work/records"
check "a log without ctest's summary counts as one failure" "0 1" "$passed $failed"

[ "$failures" -eq 0 ] && echo "all checks passed" || echo "$failures checks failed"
[ "$failures" -eq 0 ]
