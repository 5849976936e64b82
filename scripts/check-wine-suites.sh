#!/usr/bin/env bash
# Checks that every GoogleTest suite of a Windows test program has its own ctest entry: the
# suites the program lists under Wine must all be in SUITES_FILE (one name a line), which CMake
# wrote from the test sources.   scripts/check-wine-suites.sh BUILD_DIR TEST_EXE SUITES_FILE
set -u
[ $# -eq 3 ] || { echo "usage: $0 BUILD_DIR TEST_EXE SUITES_FILE" >&2; exit 2; }
listing=$(VARNOLET_WINE_PLAIN=1 bash "$(dirname "${BASH_SOURCE[0]}")/wine-test.sh" "$1" "$2" \
  --gtest_list_tests) || { echo "$listing"; echo "the program did not list its tests" >&2; exit 1; }
# Suite lines end with a dot; parameterized ones read "Prefix/Suite." or "Suite/0.".
listed=$(tr -d "\r" <<<"$listing" | grep -E "^[A-Za-z0-9_/]+\.$" | sed -E 's/\.$//; s#/[0-9]+$##; s#^[A-Za-z0-9_]+/##' | sort -u)
[ -n "$listed" ] || { echo "$listing"; echo "no suites listed" >&2; exit 1; }
missing=$(comm -23 <(echo "$listed") <(sort -u "$3"))
if [ -n "$missing" ]; then
  echo "suites without a ctest entry (declared in a way the CMake scan does not see):" >&2
  echo "$missing" >&2
  exit 1
fi
echo "$(wc -l <<<"$listed") suites, each with its own ctest entry"
