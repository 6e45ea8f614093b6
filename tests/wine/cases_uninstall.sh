#!/usr/bin/env bash
# Our UnInst.exe under Wine, in one fresh prefix: the sample built with
# --add-uninstaller and installed by its setup beside a second product, then
# removed: the answer No, a damaged list, a user file and a changed file with
# a running copy of the product, a silent removal, and a signed uninstaller.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
run_on_virtual_display "$@"
check_inputs
need_file "$SETUP_WINDOWS_BUILD/UnInst.exe" "build the windows preset"
start_wine uninstall
DEST='C:\Program Files\Sample Notes'
DEST_UNIX=$(unix_path "$DEST")
OTHER_DEST='C:\Program Files\Other Notes'
OTHER_UNIX=$(unix_path "$OTHER_DEST")
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
REMEMBERED='HKCU\Software\Quillworks'

SETUP=$WORK/SampleSetup.exe
OTHER_SETUP=$WORK/OtherSetup.exe
build_with_uninstaller "$SETUP" "$SAMPLE_NAME" "$SAMPLE_CODE"
build_with_uninstaller "$OTHER_SETUP" "Other Notes" OTN

echo "== two products installed side by side"
install_with_setup other-install "$OTHER_SETUP"
install_with_setup install "$SETUP"
ALL_FILES="FILE_ID.DIZ Notes.exe Notes_FR.LNG Notes_IT.LNG Platform.txt ReadMe.txt UnInst.exe UnInst.lst "
check "the sample installed with its list: $(listing "$DEST_UNIX")" test "$(listing "$DEST_UNIX")" = "$ALL_FILES"
check "the installed UnInst.exe is ours" cmp -s "$DEST_UNIX/UnInst.exe" "$SETUP_WINDOWS_BUILD/UnInst.exe"
check "the desktop link is made" test -n "$(link_in "Desktop/$SAMPLE_NAME.lnk")"
check "the Start-menu group is made" \
  test -n "$(find -L "$DRIVE_C" -path "*/Start Menu/Programs/$SAMPLE_NAME/Uninstall.lnk" 2>/dev/null)"
QUICK_LAUNCH=$(find "$DRIVE_C/users" -maxdepth 6 -type d -path '*/Microsoft/Internet Explorer/Quick Launch' | head -1)
if [ -n "$QUICK_LAUNCH" ] && [ ! -d "$QUICK_LAUNCH/User Pinned/TaskBar" ]; then
  check "the Quick Launch link is made" test -f "$QUICK_LAUNCH/$SAMPLE_NAME.lnk"
fi

echo "== the answer No removes nothing"
drive answer-no start="$DEST\\UnInst.exe" msgbox=no wait-exit
expect answer-no "msgbox.title Uninstall"
expect answer-no "msgbox.text Remove $SAMPLE_NAME from $DEST?"
expect answer-no "exit 2"
check "every file is still there" test "$(listing "$DEST_UNIX")" = "$ALL_FILES"
check "the uninstall entry is still there" test -n "$(reg_value "$UNINSTALL_KEY\\$SAMPLE_NAME" UninstallString)"

echo "== a damaged list removes nothing"
cp "$DEST_UNIX/UnInst.lst" "$WORK/list.saved"
head -c 100 "$WORK/list.saved" >"$DEST_UNIX/UnInst.lst"
drive damaged start="$DEST\\UnInst.exe" msgbox wait-exit
expect damaged "msgbox.text The list of installed files is missing or damaged. Nothing was removed."
expect damaged "exit 2"
check "every file is still there" test "$(listing "$DEST_UNIX")" = "$ALL_FILES"
cp "$WORK/list.saved" "$DEST_UNIX/UnInst.lst"

echo "== a user file, a changed file and a running copy of the product"
echo "my notes" >"$DEST_UNIX/my notes.txt"
echo "edited" >>"$DEST_UNIX/ReadMe.txt"
wine "$DEST\\Notes.exe" >"$WORK/notes-run.log" 2>&1 &
notes_pid=$!
sleep 3
check "a copy of the product runs from the folder" kill -0 "$notes_pid"
drive remove start="$DEST\\UnInst.exe" msgbox=yes msgbox wait-exit
expect remove "msgbox.text Remove $SAMPLE_NAME from $DEST?"
expect remove "msgbox.text These files were kept:\\nReadMe.txt (changed since installation)\\nmy notes.txt (not installed by the setup)\\n\\nThe folder $DEST stays."
expect remove "exit 1"
for _ in $(seq 50); do kill -0 "$notes_pid" 2>/dev/null || break; sleep 0.2; done
check "the running copy of the product was closed" bash -c "! kill -0 $notes_pid 2>/dev/null"
for _ in $(seq 50); do [ -e "$DEST_UNIX/UnInst.exe" ] || break; sleep 0.2; done
check "left: the user file and the changed file ($(listing "$DEST_UNIX"))" \
  test "$(listing "$DEST_UNIX")" = "ReadMe.txt my notes.txt "
check "the changed file is as the user left it" grep -q edited "$DEST_UNIX/ReadMe.txt"
check "the uninstall entry is gone" test -z "$(reg_value "$UNINSTALL_KEY\\$SAMPLE_NAME" DisplayName)"
check "the remembered folder is gone" test -z "$(reg_value "$REMEMBERED" "$SAMPLE_CODE")"
check "the desktop link is gone" test -z "$(link_in "Desktop/$SAMPLE_NAME.lnk")"
check "the Start-menu group is gone" test -z "$(find -L "$DRIVE_C" -path "*/Start Menu/Programs/$SAMPLE_NAME" 2>/dev/null)"
check "no Quick Launch link is left" test -z "$(link_in "Quick Launch/$SAMPLE_NAME.lnk")"
check "the other product's files are untouched" test "$(listing "$OTHER_UNIX")" = "$ALL_FILES"
check "the other product's uninstall entry is untouched" \
  test "$(reg_value "$UNINSTALL_KEY\\Other Notes" UninstallString)" = "\"$OTHER_DEST\\UnInst.exe\""
check "the other product's remembered folder is untouched" test "$(reg_value "$REMEMBERED" OTN)" = "$OTHER_DEST"
check "the other product's desktop link is untouched" test -n "$(link_in "Desktop/Other Notes.lnk")"
check "the other product's Start-menu group is untouched" \
  test -n "$(find -L "$DRIVE_C" -path "*/Start Menu/Programs/Other Notes/Uninstall.lnk" 2>/dev/null)"

echo "== /S after a plain installation leaves no folder"
rm -rf "$DEST_UNIX"
install_with_setup reinstall "$SETUP"
wine "$DEST\\UnInst.exe" /S >"$WORK/silent.log" 2>&1
silent_exit=$?
check "UnInst.exe /S exits with 0 (got $silent_exit)" test $silent_exit -eq 0
for _ in $(seq 50); do [ -e "$DEST_UNIX" ] || break; sleep 0.2; done
check "the folder is gone within seconds of the exit" test ! -e "$DEST_UNIX"
check "the uninstall entry is gone" test -z "$(reg_value "$UNINSTALL_KEY\\$SAMPLE_NAME" DisplayName)"

echo "== an uninstaller signed before the build"
SIGNED_UNINST=$WORK/UnInst-signed.exe
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/key.pem" -out "$WORK/cert.pem" -days 2 \
  -subj "/CN=Setup test signer" -addext extendedKeyUsage=codeSigning >"$WORK/openssl.log" 2>&1
osslsigncode sign -certs "$WORK/cert.pem" -key "$WORK/key.pem" -n "Uninstall" \
  -in "$SETUP_WINDOWS_BUILD/UnInst.exe" -out "$SIGNED_UNINST" >"$WORK/sign.log" 2>&1
check "osslsigncode signed UnInst.exe" test -s "$SIGNED_UNINST"
SIGNED_SETUP=$WORK/SignedUninstallerSetup.exe
build_with_uninstaller "$SIGNED_SETUP" "$SAMPLE_NAME" "$SAMPLE_CODE" --uninstaller-exe "$SIGNED_UNINST"
install_with_setup signed-install "$SIGNED_SETUP"
check "the installed uninstaller is the signed one" cmp -s "$DEST_UNIX/UnInst.exe" "$SIGNED_UNINST"
osslsigncode verify -CAfile "$WORK/cert.pem" -in "$DEST_UNIX/UnInst.exe" >"$WORK/verify.log" 2>&1
check "its signature still verifies once installed" test $? -eq 0
wine "$DEST\\UnInst.exe" /S >"$WORK/signed-silent.log" 2>&1
signed_exit=$?
check "the signed uninstaller removes the product (exit $signed_exit)" test $signed_exit -eq 0
for _ in $(seq 50); do [ -e "$DEST_UNIX" ] || break; sleep 0.2; done
check "and its folder" test ! -e "$DEST_UNIX"
check "the other product is still installed" test "$(listing "$OTHER_UNIX")" = "$ALL_FILES"

echo "== an update: version 1, then version 2 over it, then UnInst.exe"
# Version 1 has Old.dll; version 2 drops it, changes ReadMe.txt and adds New.dll.
build_version() {
  local output=$1 version=$2 folder=$WORK/version-$2
  assemble_sample "$folder"
  rm -f "$folder/UnInst.exe"
  if [ "$version" = 1 ]; then echo "old library" >"$folder/Old.dll"; else
    echo "version 2" >>"$folder/ReadMe.txt"
    echo "new library" >"$folder/New.dll"
  fi
  "$SETUP_MKSETUP" build "$folder" -o "$output" --code "$SAMPLE_CODE" --window-class "$SAMPLE_CLASS" \
    --main-program "$SAMPLE_MAIN" --date "$SAMPLE_DATE" --stub "$STUB" -q --add-uninstaller \
    >"$WORK/mksetup-v$version.log" 2>&1 || { cat "$WORK/mksetup-v$version.log" >&2; exit 1; }
}
build_version "$WORK/Version1.exe" 1
build_version "$WORK/Version2.exe" 2
update() {
  rm -rf "$DEST_UNIX"
  install_with_setup "$1-v1" "$WORK/Version1.exe"
  install_with_setup "$1-v2" "$WORK/Version2.exe"
  check "$1: version 1's list is kept beside version 2's ($(listing "$DEST_UNIX"))" \
    test -f "$DEST_UNIX/UnInst-1.lst" -a -f "$DEST_UNIX/UnInst.lst" -a -f "$DEST_UNIX/Old.dll"
}
update updated
drive updated-remove start="$DEST\\UnInst.exe" msgbox=yes msgbox wait-exit
expect updated-remove "msgbox.text $SAMPLE_NAME has been removed."
expect updated-remove "exit 0"
for _ in $(seq 50); do [ -e "$DEST_UNIX" ] || break; sleep 0.2; done
check "no file and no folder is left ($(listing "$DEST_UNIX"))" test ! -e "$DEST_UNIX"

echo "== an update with a user file"
update user-file
echo "mine" >"$DEST_UNIX/my notes.txt"
drive user-file-remove start="$DEST\\UnInst.exe" msgbox=yes msgbox wait-exit
expect user-file-remove "msgbox.text These files were kept:\\nmy notes.txt (not installed by the setup)\\n\\nThe folder $DEST stays."
expect user-file-remove "exit 1"
for _ in $(seq 50); do [ -e "$DEST_UNIX/UnInst.exe" ] || break; sleep 0.2; done
check "left: the user file alone ($(listing "$DEST_UNIX"))" test "$(listing "$DEST_UNIX")" = "my notes.txt "

finish
