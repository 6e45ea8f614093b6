#!/usr/bin/env bash
# The setup's switches under Wine: /S installs exactly what the dialog installs
# with its proposals, and no window of its process ever shows; /D=, /LANG= and
# /NODESKTOP with it and without it; /LOG=; a damaged setup, a write that fails
# and a switch it does not know; the uninstall entry's values for package
# managers, and its QuietUninstallString run as the command line it is.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
run_on_virtual_display "$@"
check_inputs
start_wine silent
SETUP=$WORK/SampleSetup.exe
build_with_uninstaller "$SETUP" "$SAMPLE_NAME" "$SAMPLE_CODE"
SETUP_WIN=$(win_path "$SETUP")
DEST='C:\Program Files\Sample Notes'
DEST_UNIX=$(unix_path "$DEST")
UNINSTALL="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$SAMPLE_NAME"
VALUES="DisplayName UninstallString DisplayIcon Publisher URLInfoAbout DisplayVersion InstallLocation EstimatedSize
        QuietUninstallString NoModify NoRepair"
DAMAGED_EXIT=536870913

# Every installation below starts from the prefix as Wine made it.
wineserver -w
cp -a "$WINEPREFIX" "$WORK/prefix.clean"
fresh_prefix() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  rm -rf "$WINEPREFIX"
  cp -a "$WORK/prefix.clean" "$WINEPREFIX"
}

# What an installation left: the files with sizes and times, the registry
# values with their types, and the links with their targets.
snapshot() {
  local name=$1 folder=$2 steps=()
  for value in $VALUES; do steps+=("regvalue=$UNINSTALL:$value"); done
  drive "$name-registry" "regvalue=HKCU\\Software\\Quillworks:$SAMPLE_CODE" "${steps[@]}" >/dev/null
  {
    (cd "$folder" 2>/dev/null && find . -type f -printf '%P %s %T@\n' | LC_ALL=C sort)
    cat "$WORK/$name-registry.lines"
    find -L "$DRIVE_C/users" "$DRIVE_C/ProgramData" -name '*.lnk' 2>/dev/null | LC_ALL=C sort | while IFS= read -r link; do
      echo "${link#$DRIVE_C/} -> $(lnk_field "$link" 'Local path') in $(lnk_field "$link" 'Working directory')"
    done
  } >"$WORK/$name.snapshot"
}

echo "== the dialog with its proposals, for reference"
install_with_setup dialog "$SETUP"
snapshot dialog "$DEST_UNIX"

echo "== /S: the same installation, and no window"
fresh_prefix
drive silent args=/S run-quiet="$SETUP_WIN"
expect silent "windows-seen 0"
expect silent "exit 0"
snapshot silent "$DEST_UNIX"
if cmp -s "$WORK/dialog.snapshot" "$WORK/silent.snapshot"; then
  pass "/S installs exactly what the dialog installs ($(wc -l <"$WORK/silent.snapshot") lines alike)"
else
  fail "/S and the dialog installed differently"
  diff "$WORK/dialog.snapshot" "$WORK/silent.snapshot" | sed 's/^/    /'
fi
check "the links were made (desktop, Start-menu group)" test "$(grep -c '\.lnk ->' "$WORK/silent.snapshot")" -ge 3

echo "== the uninstall entry's values for package managers"
bytes=$(find "$DEST_UNIX" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
kib=$(( (bytes + 1023) / 1024 ))
expect silent-registry "reg DisplayVersion type=1 bytes=8 text=1.4"
expect silent-registry "reg InstallLocation type=1 bytes=$(( (${#DEST} + 1) * 2 )) text=$DEST"
expect silent-registry "reg EstimatedSize type=4 number=$kib"
quiet="\"$DEST\\UnInst.exe\" /S"
expect silent-registry "reg QuietUninstallString type=1 bytes=$(( (${#quiet} + 1) * 2 )) text=$quiet"
expect silent-registry "reg NoModify type=4 number=1"
expect silent-registry "reg NoRepair type=4 number=1"

echo "== QuietUninstallString, run as a command line"
drive quiet-uninstall run-value="$UNINSTALL:QuietUninstallString"
expect quiet-uninstall "run $quiet"
expect quiet-uninstall "windows-seen 0"
expect quiet-uninstall "exit 0"
for _ in $(seq 50); do [ -e "$DEST_UNIX" ] || break; sleep 0.2; done
check "the product's folder is gone" test ! -e "$DEST_UNIX"
check "the uninstall entry is gone" test -z "$(reg_value "$UNINSTALL" DisplayName)"
check "the links are gone" test -z "$(find -L "$DRIVE_C/users" "$DRIVE_C/ProgramData" -name '*.lnk' -path "*$SAMPLE_NAME*" 2>/dev/null)"

echo "== /S /D= with spaces, /LANG=US, /NODESKTOP"
fresh_prefix
OTHER='C:\Some Folder\With Spaces'
OTHER_UNIX=$(unix_path "$OTHER")
drive chosen "args=/s /lang=us /NoDesktop /D=$OTHER" run-quiet="$SETUP_WIN"
expect chosen "windows-seen 0"
expect chosen "exit 0"
check "installed into the folder with spaces, English only: $(listing "$OTHER_UNIX")" \
  test "$(listing "$OTHER_UNIX")" = "FILE_ID.DIZ Notes.exe Platform.txt ReadMe.txt UnInst.exe UnInst.lst "
check "nothing in the proposed folder" test ! -e "$DEST_UNIX"
check "no desktop link" test -z "$(link_in "Desktop/$SAMPLE_NAME.lnk")"
check "the Start-menu group is there" \
  test -n "$(find -L "$DRIVE_C" -path "*/Start Menu/Programs/$SAMPLE_NAME/$SAMPLE_NAME.lnk" 2>/dev/null)"
check "the uninstall entry names the folder" test "$(reg_value "$UNINSTALL" InstallLocation)" = "$OTHER"

echo "== /S /LOG= (quoted, for its space), into a folder with a name beyond ASCII"
fresh_prefix
NOTES='C:\Notizbücher'
drive logged "args=/S \"/LOG=C:\\setup log.txt\" /D=$NOTES" run-quiet="$SETUP_WIN"
expect logged "exit 0"
LOG=$DRIVE_C/setup\ log.txt
tr -d '\r' <"$LOG" >"$WORK/log.txt" 2>/dev/null
sed 's/^/    | /' "$WORK/log.txt"
check "the log is UTF-8" iconv -f UTF-8 -t UTF-8 -o /dev/null "$LOG"
check "every line of the log ends with CR LF" test "$(grep -c $'\r$' "$LOG")" = "$(wc -l <"$LOG")"
for file in FILE_ID.DIZ Notes.exe Notes_FR.LNG UnInst.exe UnInst.lst; do
  check "the log names $NOTES\\$file" grep -Fxq "$NOTES\\$file" "$WORK/log.txt"
done
check "the log names the remembered folder" grep -Fxq "Registry: HKEY_CURRENT_USER\\Software\\Quillworks\\$SAMPLE_CODE" "$WORK/log.txt"
check "the log names the uninstall entry" grep -Fxq "Registry: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$SAMPLE_NAME" "$WORK/log.txt"
check "the log names the desktop link" grep -q "^Shortcut: C:\\\\.*\\\\Desktop\\\\$SAMPLE_NAME.lnk$" "$WORK/log.txt"
check "the log ends with the result" test "$(tail -1 "$WORK/log.txt")" = "$SAMPLE_NAME has been successfully installed."

echo "== a damaged setup with /S"
fresh_prefix
DAMAGED=$WORK/Damaged.exe
damage_setup "$SETUP" "$DAMAGED"
drive damaged 'args=/S /LOG=C:\damaged.txt' run-quiet="$(win_path "$DAMAGED")"
expect damaged "windows-seen 0"
expect damaged "exit $DAMAGED_EXIT"
check "nothing installed" test ! -e "$DEST_UNIX"
check "no uninstall entry" test -z "$(reg_value "$UNINSTALL" DisplayName)"
check "the log says the setup is damaged" grep -q "^Broken file" "$DRIVE_C/damaged.txt"

echo "== a write that fails: a file where the folder would be"
touch "$DRIVE_C/blocker"
drive blocked 'args=/S /D=C:\blocker\Sample Notes' run-quiet="$SETUP_WIN"
expect blocked "windows-seen 0"
expect blocked "exit 3"
check "nothing installed" test ! -e "$DEST_UNIX"

echo "== a switch the setup does not know"
drive bogus 'args=/S /BOGUS /D=C:\Bogus' run-quiet="$SETUP_WIN"
expect bogus "windows-seen 0"
expect bogus "exit 2"
check "nothing installed" test ! -e "$(unix_path 'C:\Bogus')" -a ! -e "$DEST_UNIX"
drive bogus-box args=/BOGUS start="$SETUP_WIN" msgbox wait-exit
expect bogus-box "started msgbox"
check "the box names the switch and shows the usage" \
  grep -q '^msgbox.text Not understood: /BOGUS.*/NOSTARTMENU.*Exit codes' "$WORK/bogus-box.lines"
expect bogus-box "exit 2"
# The probe itself sees a window of the process: the help box, left open.
drive probe timeout=3000 'args=/?' run-quiet="$SETUP_WIN"
expect probe "window-seen class=#32770 text=Setup"
expect probe "exit timeout"
drive help-box 'args=/?' start="$SETUP_WIN" msgbox wait-exit
check "/? shows the switches and the exit codes" grep -q '^msgbox.text Setup.exe \[/S\].*536870913' "$WORK/help-box.lines"
expect help-box "exit 0"
check "nothing installed by the boxes" test ! -e "$DEST_UNIX"

echo "== without /S, the switches preset the dialog"
drive preset 'args=/NODESKTOP /lang=de /D=C:\Preset Folder' start="$SETUP_WIN" dump press=2 wait-exit
expect preset "control 1032 visible=1 checked=- text=C:\\Preset Folder"
expect preset "control 1041 visible=1 checked=1 text=Put entry to Start Menu"
check "the desktop box is unticked" grep -q '^control 1042 visible=1 checked=0 ' "$WORK/preset.lines"
check "only German is ticked" test "$(grep '^row ' "$WORK/preset.lines" | grep -c 'state=2')" = 1 -a \
  -n "$(grep '^row .* code=DE state=2' "$WORK/preset.lines")"
expect preset "exit 0"
finish
