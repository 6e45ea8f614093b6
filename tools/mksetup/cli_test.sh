#!/usr/bin/env bash
# Checks of the mksetup program as a user runs it: the command dispatch, exit
# codes, help, progress and a round trip through the real binary.
# Usage: cli_test.sh PATH_TO_MKSETUP
set -u
mksetup=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() {  # expect CODE DESCRIPTION COMMAND...
  local want=$1 what=$2
  shift 2
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL: $what: exit $got, expected $want"; cat "$work/err"; failures=$((failures + 1))
  fi
}

expect_text() {  # expect_text FILE TEXT DESCRIPTION
  if ! grep -qF -- "$2" "$1"; then
    echo "FAIL: $3: '$2' not in $(basename "$1")"; cat "$1"; failures=$((failures + 1))
  fi
}

expect 2 "no command" "$mksetup"
expect_text "$work/err" "Try 'mksetup --help'" "no command"
expect 2 "unknown command" "$mksetup" frobnicate
expect 0 "tool help" "$mksetup" --help
cp "$work/out" "$work/help"
for command in build list test extract; do
  expect_text "$work/help" "  $command " "tool help names $command"
  expect 0 "$command --help" "$mksetup" "$command" --help
  expect_text "$work/out" "Usage: mksetup $command" "$command --help"
done

mkdir -p "$work/product/64" "$work/product/docs/sub"
printf 'Quill Writer Version 1.0\r\nfor 64-bit Windows\r\n' >"$work/product/FILE_ID.DIZ"
head -c 3000000 /dev/urandom >"$work/product/Qw.exe"
echo "uninstaller" >"$work/product/UnInst.exe"
echo "core" >"$work/product/64/core.dll"
echo "notes" >"$work/product/docs/sub/notes.txt"
: >"$work/product/empty.txt"
head -c 4096 /dev/zero >"$work/stub.exe"
build=(build "$work/product" -o "$work/setup.exe" --code QW --window-class QwWindow --main-program Qw.exe
       --stub "$work/stub.exe" --date 2022-06-30)

expect 0 "build with progress" "$mksetup" "${build[@]}"
expect_text "$work/err" "compressing" "progress of a build of 3 MB"
lines=$(grep -c compressing "$work/err")
if [ "$lines" -gt 5 ]; then echo "FAIL: $lines progress lines into a file, not a few"; failures=$((failures + 1)); fi
expect_text "$work/out" "6 files" "build summary"
expect_text "$work/err" "warning: 'docs\\sub\\notes.txt' is never installed" "warning about a folder beside 64"
expect 0 "quiet build" "$mksetup" "${build[@]}" -q
if grep -q compressing "$work/err"; then echo "FAIL: -q still shows progress"; failures=$((failures + 1)); fi
expect_text "$work/err" "warning: 'docs\\sub\\notes.txt' is never installed" "-q keeps the warnings"
expect 0 "list" "$mksetup" list "$work/setup.exe"
expect_text "$work/out" "date:          2022-06-30" "list shows the date"
expect_text "$work/out" "  64\\core.dll" "list shows stored names"
expect 0 "test" "$mksetup" test "$work/setup.exe"
expect_text "$work/out" "result 0" "test prints the result"
expect 0 "extract" "$mksetup" extract "$work/setup.exe" -o "$work/out-dir"
if ! diff -r "$work/product" "$work/out-dir" >/dev/null; then
  echo "FAIL: extracted files differ from the product"; failures=$((failures + 1))
fi

# One byte of the compressed data changed: the package no longer passes.
cp "$work/setup.exe" "$work/damaged.exe"
printf '\x55' | dd of="$work/damaged.exe" bs=1 seek=100000 conv=notrunc status=none
expect 1 "test of a damaged setup" "$mksetup" test "$work/damaged.exe"
expect_text "$work/out" "result -1" "test of a damaged setup"
expect 1 "list of a file without a package" "$mksetup" list "$work/stub.exe"
expect 1 "build of a missing folder" "$mksetup" build "$work/nothing" -o "$work/x.exe" --code Q --window-class W \
  --main-program M --stub "$work/stub.exe"
expect 2 "build without options" "$mksetup" build "$work/product"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all mksetup command-line checks passed"
