#!/usr/bin/env bash
# The sample product's setup under Wine, in one fresh prefix: the first
# installation, the same setup again, the language choices and menu commands,
# the folder browser, a file that cannot be replaced, an empty destination,
# and a running copy of the product closed while the dialog is open.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/layout.sh"
run_on_virtual_display "$@"
check_inputs
start_wine install
SETUP=$WORK/SampleSetup.exe
build_sample_setup "$SETUP"
SETUP_WIN=$(win_path "$SETUP")
DEST='C:\Program Files\Sample Notes'
DEST_UNIX=$(unix_path "$DEST")
CAPTION="Setup $SAMPLE_NAME 1.4"

# Quick Launch is offered when the folder exists and no pinned taskbar does.
QUICK_LAUNCH=$(find "$DRIVE_C/users" -maxdepth 6 -type d -path '*/Microsoft/Internet Explorer/Quick Launch' | head -1)
if [ -n "$QUICK_LAUNCH" ] && [ ! -d "$QUICK_LAUNCH/User Pinned/TaskBar" ]; then QL_VISIBLE=1; else QL_VISIBLE=0; fi

echo "== first installation"
SYNC=$WORK/first
( screenshot_at "$SYNC" "$WORK/dialog.png" ) &
drive first start="$SETUP_WIN" layout dump sync="$(win_path "$SYNC")" press=99 msgbox wait-exit
wait
check_layout first
expect first "caption $CAPTION"
expect first "control 1001 visible=1 checked=- text=$SAMPLE_NAME 1.4"
expect first "control 1002 visible=1 checked=- text=32-bit and 64-bit "
expect first "control 1031 visible=1 checked=- text=Destination folder"
expect first "control 1032 visible=1 checked=- text=$DEST"
expect first "control 1033 visible=1 checked=- text=..."
expect first "control 1041 visible=1 checked=1 text=Put entry to Start Menu"
expect first "control 1042 visible=1 checked=1 text=Create a Desktop icon"
expect first "control 1043 visible=$QL_VISIBLE checked=1 text=Create a Quick Launch icon"
expect first "control 99 visible=1 checked=- text=&OK"
expect first "control 2 visible=1 checked=- text=Cancel"
expect first "column 0 text=Language"
expect first "extended-style 1060"
expect_rows first "row 0 code=US state=2 text=English" "row 1 code=FR state=2 text=Français" \
  "row 2 code=DE state=2 text=German" "row 3 code=IT state=2 text=Italiano"
expect first "msgbox.title $CAPTION"
expect first "msgbox.text $SAMPLE_NAME has been successfully installed."
expect first "exit 0"
check "screenshot of the dialog kept at $WORK/dialog.png" test -s "$WORK/dialog.png"

installed=$(cd "$DEST_UNIX" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
check "files flat in the folder: $installed" \
  test "$installed" = "FILE_ID.DIZ Notes.exe Notes_FR.LNG Notes_IT.LNG Platform.txt ReadMe.txt UnInst.exe "
check "the 64-bit folder's Platform.txt was installed" grep -q "64-bit" "$DEST_UNIX/Platform.txt"
noon=$(date -d "$SAMPLE_DATE 12:00:00" +%s)
for file in FILE_ID.DIZ Notes.exe ReadMe.txt; do
  check "$file dated $SAMPLE_DATE 12:00 local time" test "$(stat -c %Y "$DEST_UNIX/$file")" = "$noon"
done
check "the folder is remembered" test "$(reg_value 'HKCU\Software\Quillworks' "$SAMPLE_CODE")" = "$DEST"
UNINSTALL="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$SAMPLE_NAME"
check "uninstall entry: DisplayName" test "$(reg_value "$UNINSTALL" DisplayName)" = "$SAMPLE_NAME"
check "uninstall entry: UninstallString" test "$(reg_value "$UNINSTALL" UninstallString)" = "\"$DEST\\UnInst.exe\""
check "uninstall entry: DisplayIcon" test "$(reg_value "$UNINSTALL" DisplayIcon)" = "$DEST\\Notes.exe"
check "uninstall entry: Publisher" test "$(reg_value "$UNINSTALL" Publisher)" = "Quillworks"
check "uninstall entry: URLInfoAbout" test -n "$(reg_value "$UNINSTALL" URLInfoAbout)"

# Every value as the program wrote it: a REG_SZ (type 1) of its text and one
# terminating zero, (length + 1) * 2 bytes.
REMEMBERED='HKCU\Software\Quillworks'
drive values regvalue="$REMEMBERED:$SAMPLE_CODE" regvalue="$UNINSTALL:DisplayName" \
  regvalue="$UNINSTALL:UninstallString" regvalue="$UNINSTALL:DisplayIcon" regvalue="$UNINSTALL:Publisher" \
  regvalue="$UNINSTALL:URLInfoAbout" folder=23
for name in "$SAMPLE_CODE" DisplayName UninstallString DisplayIcon Publisher URLInfoAbout; do
  line=$(grep -m1 "^reg $name " "$WORK/values.lines")
  text=${line#* text=}
  check "$name is a REG_SZ of $(( (${#text} + 1) * 2 )) bytes ($line)" \
    test "$line" = "reg $name type=1 bytes=$(( (${#text} + 1) * 2 )) text=$text" -a -n "$text"
done
COMMON_PROGRAMS=$(unix_path "$(sed -n 's/^folder 23 //p' "$WORK/values.lines")")
check "the Start-menu group is in the all-users programs folder ($COMMON_PROGRAMS)" \
  test -f "$COMMON_PROGRAMS/$SAMPLE_NAME/$SAMPLE_NAME.lnk" -a -f "$COMMON_PROGRAMS/$SAMPLE_NAME/Uninstall.lnk"

group_link=$(find -L "$DRIVE_C" -path "*/Start Menu/Programs/$SAMPLE_NAME/$SAMPLE_NAME.lnk" 2>/dev/null | head -1)
uninstall_link=$(find -L "$DRIVE_C" -path "*/Start Menu/Programs/$SAMPLE_NAME/Uninstall.lnk" 2>/dev/null | head -1)
desktop_link=$(ls "$DRIVE_C"/users/*/Desktop/"$SAMPLE_NAME.lnk" 2>/dev/null | head -1)
check "Start-menu group link made ($group_link)" test -n "$group_link"
check "Start-menu uninstall link made" test -n "$uninstall_link"
check "desktop link made ($desktop_link)" test -n "$desktop_link"
for link in "$group_link" "$desktop_link"; do
  [ -n "$link" ] || continue
  check "${link##*/} targets $DEST\\Notes.exe" test "$(lnk_field "$link" "Local path")" = "$DEST\\Notes.exe"
  check "${link##*/} works in $DEST" test "$(lnk_field "$link" "Working directory")" = "$DEST"
  check "${link##*/} shows with command 5" test "$(lnk_show_command "$link")" = 5
done
[ -n "$uninstall_link" ] &&
  check "Uninstall.lnk targets UnInst.exe" test "$(lnk_field "$uninstall_link" "Local path")" = "$DEST\\UnInst.exe"
if [ $QL_VISIBLE = 1 ]; then
  check "Quick Launch link made" test -f "$QUICK_LAUNCH/$SAMPLE_NAME.lnk"
else
  check "no Quick Launch link without the folder" \
    test -z "$(find -L "$DRIVE_C/users" -name "$SAMPLE_NAME.lnk" -path '*Quick Launch*' 2>/dev/null)"
fi

echo "== the same setup again, Italian files missing, French unticked"
rm -f "$DEST_UNIX/Notes_IT.LNG"
drive again start="$SETUP_WIN" dump tick=1:1 press=99 msgbox wait-exit
expect again "control 1032 visible=1 checked=- text=$DEST"
expect again "control 1041 visible=1 checked=0 text=Put entry to Start Menu"
expect again "control 1042 visible=1 checked=0 text=Create a Desktop icon"
expect again "control 1043 visible=$QL_VISIBLE checked=0 text=Create a Quick Launch icon"
expect_rows again "row 0 code=US state=2 text=English" "row 1 code=FR state=2 text=Français" \
  "row 2 code=DE state=2 text=German" "row 3 code=IT state=1 text=Italiano"
expect again "msgbox.text $SAMPLE_NAME has been successfully installed."
expect again "exit 0"
check "unticked French: its file is not left behind" test ! -e "$DEST_UNIX/Notes_FR.LNG"
check "unticked Italian: its file is not installed" test ! -e "$DEST_UNIX/Notes_IT.LNG"
check "the other files are still there" test -f "$DEST_UNIX/Notes.exe" -a -f "$DEST_UNIX/ReadMe.txt"

echo "== menu commands 136, 137, 138 and the popup menu"
drive menu start="$SETUP_WIN" press=137 dump press=136 dump tick=0:1 press=138 dump \
  contextmenu=1032:esc contextmenu=1010:d dump press=2 wait-exit
rows=$(sed -n 's/^row [0-9]* code=[A-Z]* \(state=[0-9]\).*/\1/p' "$WORK/menu.lines" | tr '\n' ' ')
check "137 unticks, 136 ticks, 138 inverts every row ($rows)" test "$rows" = \
  "state=1 state=1 state=1 state=1 state=2 state=2 state=2 state=2 state=2 state=1 state=1 state=1 state=1 state=1 state=1 state=1 "
expect menu "menu none"
expect menu "menu shown"
expect menu "exit 0"

echo "== the folder browser"
mkdir -p "$DRIVE_C/Browse/Here"
drive browse start="$SETUP_WIN" settext='1032:C:\Browse\Here' browse=ok dump \
  settext='1032:C:\Browse\Here\New Folder' browse=ok dump \
  settext='1032:C:\Nowhere\Deeper\Still' browse=cancel dump press=2 wait-exit
texts=$(grep '^control 1032 ' "$WORK/browse.lines" | sed 's/.* text=//' | tr '\n' '|')
check "OK keeps an existing folder, a missing one gives its parent, Cancel changes nothing ($texts)" \
  test "$texts" = 'C:\Browse\Here|C:\Browse\Here|C:\Nowhere\Deeper\Still|'
expect browse "exit 0"

echo "== a file that cannot be replaced, and an empty destination"
mkdir -p "$DRIVE_C/Blocked/ReadMe.txt"
drive blocked start="$SETUP_WIN" settext='1032:C:\Blocked' press=99 msgbox dump \
  settext=1032: press=99 nomsgbox=1500 dump press=2 wait-exit
expect blocked "msgbox.title "
check "the system's error text is shown" grep -Eq '^msgbox.text .*[Aa]ccess.*denied' "$WORK/blocked.lines"
check "the dialog stays open after both" test "$(grep -c "^caption $CAPTION\$" "$WORK/blocked.lines")" = 2
expect blocked "no msgbox"
expect blocked "exit 0"

echo "== a running copy of the product is closed while the dialog is open"
wine "$FAKE_PRODUCT" "$SAMPLE_CLASS" 20 >"$WORK/fake.out" 2>/dev/null &
fake=$!
for _ in $(seq 100); do grep -q "window ready" "$WORK/fake.out" 2>/dev/null && break; sleep 0.1; done
drive running start="$SETUP_WIN" sleep=1500 press=2 wait-exit
fake_status=0
wait $fake || fake_status=$?
check "the product's window was sent WM_DESTROY" grep -q "destroy received" "$WORK/fake.out"
check "the product ended (exit $fake_status)" test $fake_status -eq 0
expect running "exit 0"

echo "== the sample's own uninstaller removes it again"
drive uninstall start="$DEST\\UnInst.exe" msgbox=yes msgbox wait-exit
expect uninstall "msgbox.text Remove $SAMPLE_NAME and all of its files?"
expect uninstall "msgbox.text $SAMPLE_NAME has been removed."
expect uninstall "exit 0"
remaining=$(cd "$DEST_UNIX" && ls | tr '\n' ' ')
check "only the running uninstaller is left, until the next start ($remaining)" test "$remaining" = "UnInst.exe "
check "the uninstall entry is gone" test -z "$(reg_value "$UNINSTALL" DisplayName)"
check "the remembered folder is gone" test -z "$(reg_value 'HKCU\Software\Quillworks' "$SAMPLE_CODE")"
check "the shortcuts and the group are gone" test ! -e "$desktop_link" -a ! -e "${group_link%/*}"

echo "screenshot: $WORK/dialog.png"
finish
