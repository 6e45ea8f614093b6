#!/usr/bin/env bash
# mksetup as people get it, in one fresh prefix: installed with cmake --install
# into a prefix of its own and unpacked from the Debian package, each builds a
# setup without --stub that installs under Wine; and mksetup.exe under Wine
# builds the same bytes as the Linux mksetup and installs unattended as the
# dialog does.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
run_on_virtual_display "$@"
check_inputs
SETUP_NATIVE_BUILD=${SETUP_NATIVE_BUILD:-$SETUP_SOURCE_DIR/build/native}
MKSETUP_EXE=$SETUP_WINDOWS_BUILD/mksetup.exe
need_file "$MKSETUP_EXE" "build the windows preset"
need_file "$SETUP_NATIVE_BUILD/CPackConfig.cmake" "configure the native preset"
start_wine tools
DEST='C:\Program Files\Sample Notes'
DEST_UNIX=$(unix_path "$DEST")
UNINSTALL_KEY="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$SAMPLE_NAME"
PRODUCT=$WORK/product
assemble_sample "$PRODUCT"
rm -f "$PRODUCT/UnInst.exe"
BUILD_OPTIONS=(--code "$SAMPLE_CODE" --window-class "$SAMPLE_CLASS" --main-program "$SAMPLE_MAIN"
               --date "$SAMPLE_DATE" --add-uninstaller -q)

listing() { (cd "$1" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' '); }
INSTALLED="FILE_ID.DIZ Notes.exe Notes_FR.LNG Notes_IT.LNG Platform.txt ReadMe.txt UnInst.exe UnInst.lst "

# install_and_remove NAME SETUP: the dialog installs it, UnInst.exe /S removes it again.
install_and_remove() {
  local name=$1 setup=$2
  drive "$name" start="$(win_path "$setup")" press=99 msgbox wait-exit
  expect "$name" "msgbox.text $SAMPLE_NAME has been successfully installed."
  check "$name: the product's files are installed" test "$(listing "$DEST_UNIX")" = "$INSTALLED"
  wine "$DEST\\UnInst.exe" /S >"$WORK/$name-remove.log" 2>&1
  for _ in $(seq 50); do [ -e "$DEST_UNIX" ] || break; sleep 0.2; done
  check "$name: and removed again" test ! -e "$DEST_UNIX"
}

echo "== cmake --install into a prefix of its own"
PREFIX=$WORK/prefix
cmake --install "$SETUP_NATIVE_BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1
check "cmake --install succeeded" test $? -eq 0
for file in bin/mksetup share/mksetup/Setup.exe share/mksetup/UnInst.exe share/man/man1/mksetup.1.gz \
  share/doc/mksetup/publisher-guide.md; do
  check "installed: $file" test -s "$PREFIX/$file"
done
check "mksetup --version names the project's version" \
  grep -qx "mksetup $(sed -n 's/^project(Setup VERSION \([0-9.]*\).*/\1/p' "$SETUP_SOURCE_DIR/CMakeLists.txt")" \
  <("$PREFIX/bin/mksetup" --version)
"$PREFIX/bin/mksetup" build "$PRODUCT" -o "$WORK/FromPrefix.exe" "${BUILD_OPTIONS[@]}" >"$WORK/prefix-build.log" 2>&1
check "the installed mksetup builds without --stub" test $? -eq 0
install_and_remove from-prefix "$WORK/FromPrefix.exe"

echo "== the Debian package, unpacked"
(cd "$SETUP_NATIVE_BUILD" && cpack -G DEB -B "$WORK/deb") >"$WORK/cpack.log" 2>&1
DEB=$(ls "$WORK"/deb/mksetup_*_amd64.deb 2>/dev/null | head -1)
check "cpack made $(basename "${DEB:-no package}")" test -n "$DEB"
if [ -n "$DEB" ]; then
  depends=$(dpkg-deb -f "$DEB" Depends)
  check "the package depends on the C and C++ libraries ($depends)" \
    bash -c "grep -q 'libc6' <<<'$depends' && grep -q 'libstdc++6' <<<'$depends'"
  dpkg-deb -x "$DEB" "$WORK/unpacked"
  "$WORK/unpacked/usr/bin/mksetup" build "$PRODUCT" -o "$WORK/FromPackage.exe" "${BUILD_OPTIONS[@]}" \
    >"$WORK/package-build.log" 2>&1
  check "the packaged mksetup builds without --stub" test $? -eq 0
  check "the same setup as the installed one" cmp -s "$WORK/FromPrefix.exe" "$WORK/FromPackage.exe"
  install_and_remove from-package "$WORK/FromPackage.exe"
fi

echo "== mksetup.exe builds the same bytes as mksetup"
for level in 9 1; do
  "$SETUP_MKSETUP" build "$PRODUCT" -o "$WORK/Linux-$level.exe" --stub "$STUB" \
    --uninstaller-exe "$SETUP_WINDOWS_BUILD/UnInst.exe" --level $level "${BUILD_OPTIONS[@]}" >"$WORK/linux-$level.log" 2>&1
  wine "$MKSETUP_EXE" build "$(win_path "$PRODUCT")" -o "$(win_path "$WORK/Windows-$level.exe")" \
    --stub "$(win_path "$STUB")" --uninstaller-exe "$(win_path "$SETUP_WINDOWS_BUILD/UnInst.exe")" --level $level \
    "${BUILD_OPTIONS[@]}" >"$WORK/windows-$level.log" 2>&1
  check "level $level: mksetup.exe build succeeded" test $? -eq 0
  check "level $level: byte-identical to the Linux build" cmp -s "$WORK/Linux-$level.exe" "$WORK/Windows-$level.exe"
done

echo "== mksetup.exe install: the unattended installation"
# What an installation left: files with times, registry values, shortcut targets.
snapshot() {
  {
    (cd "$DEST_UNIX" && find . -type f -printf '%P %s %TY-%Tm-%Td %TH:%TM\n' | LC_ALL=C sort)
    for value in DisplayName UninstallString DisplayIcon Publisher URLInfoAbout; do
      echo "$value=$(reg_value "$UNINSTALL_KEY" "$value")"
    done
    echo "remembered=$(reg_value 'HKCU\Software\Quillworks' "$SAMPLE_CODE")"
    { find "$DRIVE_C" -name "*.lnk" -path "*$SAMPLE_NAME*"; ls "$DRIVE_C"/users/*/Desktop/*.lnk; } 2>/dev/null |
      LC_ALL=C sort -u | while IFS= read -r link; do
      echo "${link#$DRIVE_C/} -> $(lnk_field "$link" "Local path") in $(lnk_field "$link" "Working directory")"
    done
  } >"$1"
}
SETUP=$WORK/Linux-9.exe
wine "$MKSETUP_EXE" install "$(win_path "$SETUP")" --dest "$DEST" >"$WORK/unattended.log" 2>&1
unattended=$?
check "mksetup.exe install exits with 0 (got $unattended)" test $unattended -eq 0
grep -q "$SAMPLE_NAME has been successfully installed." "$WORK/unattended.log"
check "it prints the setup's final message" test $? -eq 0
snapshot "$WORK/unattended.snapshot"
wine "$DEST\\UnInst.exe" /S >/dev/null 2>&1
for _ in $(seq 50); do [ -e "$DEST_UNIX" ] || break; sleep 0.2; done
drive dialog start="$(win_path "$SETUP")" press=99 msgbox wait-exit
expect dialog "exit 0"
snapshot "$WORK/dialog.snapshot"
check "the same files, registry values and shortcuts as the dialog makes" \
  diff "$WORK/unattended.snapshot" "$WORK/dialog.snapshot"
check "and there are shortcuts to compare: the desktop's, the group's two" \
  test "$(grep -cF -e "Desktop/$SAMPLE_NAME.lnk -> $DEST\\Notes.exe" -e "Programs/$SAMPLE_NAME/Uninstall.lnk -> $DEST\\UnInst.exe" \
    "$WORK/dialog.snapshot")" = 2
wine "$DEST\\UnInst.exe" /S >/dev/null 2>&1
for _ in $(seq 50); do [ -e "$DEST_UNIX" ] || break; sleep 0.2; done
OTHER='C:\Tools\Notes'
wine "$MKSETUP_EXE" install "$(win_path "$SETUP")" --dest "$OTHER" --languages US --no-desktop --no-start-menu \
  --no-quick-launch >"$WORK/choices.log" 2>&1
check "mksetup.exe install with choices exits with 0" test $? -eq 0
check "only the chosen language is installed: $(listing "$(unix_path "$OTHER")")" \
  test "$(listing "$(unix_path "$OTHER")")" = "FILE_ID.DIZ Notes.exe Platform.txt ReadMe.txt UnInst.exe UnInst.lst "
check "no shortcut was made" \
  test -z "$({ find "$DRIVE_C" -name "*.lnk" -path "*$SAMPLE_NAME*"; ls "$DRIVE_C"/users/*/Desktop/*.lnk; } 2>/dev/null)"
check "the folder is remembered as given" test "$(reg_value 'HKCU\Software\Quillworks' "$SAMPLE_CODE")" = "$OTHER"
head -c 100000 "$SETUP" >"$WORK/Damaged.exe"
wine "$MKSETUP_EXE" install "$(win_path "$WORK/Damaged.exe")" --dest 'C:\Damaged' >"$WORK/damaged.log" 2>&1
damaged=$?
check "a damaged setup: exit 1 (got $damaged)" test $damaged -eq 1
wine "$MKSETUP_EXE" install "$(win_path "$SETUP")" --no-such-option >"$WORK/usage.log" 2>&1
usage=$?
check "wrong usage: exit 2 (got $usage)" test $usage -eq 2

finish
