#!/bin/bash
# Builds the release package and checks what it holds: exactly stampwright.exe and stampwright-cli.exe, the very
# exes of this build, and README.txt in UTF-8 with a byte order mark, in both languages. Nothing of the Wine test
# bed may be in it.
#
# The panel exe must also be lean: at most <max-bytes>, and without debug sections.
#
#   check-package.sh <build-dir> <zip> <stampwright.exe> <stampwright-cli.exe> <max-bytes>
set -euo pipefail

build="${1:?usage: check-package.sh <build-dir> <zip> <stampwright.exe> <stampwright-cli.exe> <max-bytes>}"
zip="${2:?}"
exe="${3:?}"
cli_exe="${4:?}"
max_bytes="${5:?}"

rm -f "$zip"
cmake --build "$build" --target package >"$build/package-build.log" 2>&1 || {
    tail -30 "$build/package-build.log"
    echo "FAILED: the package did not build" >&2
    exit 1
}
[ -f "$zip" ] || { echo "FAILED: no $zip" >&2; exit 1; }

failed=0
fail() {
    echo "FAILED: $*" >&2
    failed=1
}

echo "contents of $zip:"
unzip -l "$zip"
entries="$(unzip -Z1 "$zip" | sort)"
expected="$(printf '%s\n' README.txt stampwright.exe stampwright-cli.exe | sort)"
[ "$entries" = "$expected" ] || fail "the zip must hold exactly stampwright.exe, stampwright-cli.exe and README.txt, not: $(echo "$entries" | tr '\n' ' ')"

# Named here so that a rename of the test bed's files cannot turn the check above into the only guard.
for forbidden in setupapi.dll hid.dll setupapi_wine.dll zel-ot40-sim.exe demo-driver.exe sw_e2e_driver.exe; do
    if echo "$entries" | grep -qix "$forbidden"; then
        fail "$forbidden is in the package"
    fi
done

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
cmp -s "$unpacked/stampwright.exe" "$exe" || fail "stampwright.exe in the zip is not the one this build made"
cmp -s "$unpacked/stampwright-cli.exe" "$cli_exe" || fail "stampwright-cli.exe in the zip is not the one this build made"
readme="$unpacked/README.txt"
if [ -f "$readme" ]; then
    [ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "README.txt does not start with a UTF-8 byte order mark"
    iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null 2>&1 || fail "README.txt is not valid UTF-8"
    grep -q "使い方" "$readme" || fail "README.txt has no Japanese part"
    grep -q "How to use it" "$readme" || fail "README.txt has no English part"
    grep -q $'\r$' "$readme" || fail "README.txt does not have CRLF line ends"
    if grep -q "@PROJECT_VERSION@" "$readme"; then
        fail "README.txt still holds the version placeholder"
    fi
fi

shipped="$unpacked/stampwright.exe"
if [ -f "$shipped" ]; then
    size="$(stat -c %s "$shipped")"
    echo "stampwright.exe: $size bytes (at most $max_bytes)"
    [ "$size" -le "$max_bytes" ] || fail "stampwright.exe is $size bytes, more than $max_bytes"
    # A PE section name is 8 bytes at most; longer ones such as .debug_info live in the symbol table, which a
    # stripped exe does not have either.
    if grep -aq -e '\.debug_' -e '\.stab' "$shipped"; then
        fail "stampwright.exe carries debug sections"
    fi
fi

[ "$failed" = 0 ] || exit 1
echo "package ok"
