#!/usr/bin/env bash
# Checks that a DLL is resource-only: a resource directory, no import table, no exports, no
# code and no entry point.   scripts/check-resource-only.sh OBJDUMP LIBRARY
set -u
objdump=$1
library=$2
headers=$("$objdump" -p -h "$library") || { echo "cannot read $library" >&2; exit 1; }
fail() { echo "$library: $1" >&2; exit 1; }
directory_size() { awk -v n="$1" '$1 == "Entry" && $2 == n { print $4 }' <<<"$headers"; }

[ "$(directory_size 0)" = "00000000" ] || fail "has an export directory"
[ "$(directory_size 1)" = "00000000" ] || fail "has an import directory"
[ "$(directory_size 2)" != "00000000" ] || fail "has no resources"
grep -q "DLL Name" <<<"$headers" && fail "imports a DLL"
grep -Eq "AddressOfEntryPoint[[:space:]]+0+$" <<<"$headers" || fail "has an entry point"
grep -q "CODE" <<<"$headers" && fail "has a code section"
echo "$library is resource-only"
