#!/usr/bin/env bash
# The Windows release of mksetup (scripts/windows_release.sh) under Wine: made
# twice with the same bytes, installed by its own setup through the dialog into
# C:\Program Files\mksetup, the installed mksetup.exe building the sample's
# setup without --stub byte for byte as the Linux mksetup does, waiting for
# Enter in a console of its own, and removed by UnInst.exe /S.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
run_on_virtual_display "$@"
check_inputs
start_wine release
NATIVE=$(dirname "$SETUP_MKSETUP")
VERSION=$("$SETUP_MKSETUP" --version | cut -d' ' -f2)

echo "== the release, made twice"
for run in 1 2; do
  "$SETUP_SOURCE_DIR/scripts/windows_release.sh" "$WORK/release-$run" "$NATIVE" "$SETUP_WINDOWS_BUILD" \
    >"$WORK/release-$run.log" 2>&1 || { cat "$WORK/release-$run.log"; fail "windows_release.sh run $run"; }
done
SETUP=$WORK/release-1/mksetup-$VERSION-setup.exe
ZIP=$WORK/release-1/mksetup-$VERSION-windows.zip
for file in "mksetup-$VERSION-setup.exe" "mksetup-$VERSION-windows.zip"; do
  check "$file: the same bytes from both runs" cmp -s "$WORK/release-1/$file" "$WORK/release-2/$file"
done
check "the zip holds the programs and the texts" test "$(unzip -Z1 "$ZIP" | tr '\n' ' ')" = \
  "mksetup-$VERSION/FILE_ID.DIZ mksetup-$VERSION/README.txt mksetup-$VERSION/Setup.exe mksetup-$VERSION/UnInst.exe mksetup-$VERSION/deploying.txt mksetup-$VERSION/mksetup.exe mksetup-$VERSION/mksetup.txt mksetup-$VERSION/package-format.txt mksetup-$VERSION/publisher-guide.txt "
check "the setup's package holds the same files and our list" test "$("$SETUP_MKSETUP" list "$SETUP" | awk 'NF == 2 && $1 ~ /^[0-9]+$/ { print $2 }' | LC_ALL=C sort | tr '\n' ' ')" = \
  "FILE_ID.DIZ README.txt Setup.exe UnInst.exe UnInst.lst deploying.txt mksetup.exe mksetup.txt package-format.txt publisher-guide.txt "

echo "== installed by its own setup, through the dialog"
DEST='C:\Program Files\mksetup'
DEST_UNIX=$(unix_path "$DEST")
drive install start="$(win_path "$SETUP")" dump press=99 msgbox wait-exit
expect install "caption Setup mksetup $VERSION"
expect install "control 1032 visible=1 checked=- text=$DEST"
expect install "msgbox.text mksetup has been successfully installed."
expect install "exit 0"
for file in mksetup.exe Setup.exe UnInst.exe README.txt mksetup.txt; do
  check "$file installed" test -s "$DEST_UNIX/$file"
done
check "the Start-menu entry starts mksetup.exe" \
  test -n "$(find -L "$DRIVE_C" -path "*/Start Menu/Programs/mksetup/mksetup.lnk" 2>/dev/null)"

echo "== the installed mksetup.exe builds the sample's setup without --stub"
PRODUCT=$WORK/product
assemble_sample "$PRODUCT"
rm -f "$PRODUCT/UnInst.exe"
OPTIONS=(--code "$SAMPLE_CODE" --window-class "$SAMPLE_CLASS" --main-program "$SAMPLE_MAIN" --date "$SAMPLE_DATE"
  --add-uninstaller -q)
"$SETUP_MKSETUP" build "$PRODUCT" -o "$WORK/Linux.exe" --stub "$STUB" \
  --uninstaller-exe "$SETUP_WINDOWS_BUILD/UnInst.exe" "${OPTIONS[@]}" >"$WORK/linux.log" 2>&1
wine "$DEST\\mksetup.exe" build "$(win_path "$PRODUCT")" -o "$(win_path "$WORK/Windows.exe")" "${OPTIONS[@]}" \
  >"$WORK/windows.log" 2>&1
check "mksetup.exe build succeeded (exit $?)" test -s "$WORK/Windows.exe"
check "byte-identical to the Linux build" cmp -s "$WORK/Linux.exe" "$WORK/Windows.exe"

echo "== started in a console of its own, it waits for Enter"
drive console "console=$DEST\\mksetup.exe|Press Enter to close."
expect console "console-waiting 1"
expect console "console-shows 1"
expect console "exit 0"
wine "$DEST\\mksetup.exe" >"$WORK/from-console.out" 2>&1 </dev/null
check "from a shell it prints its complaint and ends with 2 (got $?)" grep -q "a command is missing" "$WORK/from-console.out"

echo "== removed by UnInst.exe /S"
wine "$DEST\\UnInst.exe" /S >"$WORK/uninstall.log" 2>&1
removal=$?
check "UnInst.exe /S exits with 0 (got $removal)" test $removal -eq 0
for _ in $(seq 50); do [ -e "$DEST_UNIX" ] || break; sleep 0.2; done
check "the folder is gone" test ! -e "$DEST_UNIX"
check "the Start-menu group is gone" test -z "$(find -L "$DRIVE_C" -path "*/Start Menu/Programs/mksetup" 2>/dev/null)"
check "the desktop link is gone" test -z "$(link_in "Desktop/mksetup.lnk")"
check "the uninstall entry is gone" \
  test -z "$(reg_value 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\mksetup' DisplayName)"
check "the remembered folder is gone" test -z "$(reg_value 'HKCU\Software\Quillworks' MKS)"
finish
