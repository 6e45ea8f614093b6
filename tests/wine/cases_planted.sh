#!/usr/bin/env bash
# Planted DLLs: a DLL that only leaves a marker, copied under the names of
# system DLLs beside the setup, into the temporary folder, into the folder the
# setup is started from and beside the installed uninstaller. A whole
# installation through the dialog, a removal with Yes and one with /S run
# twice: once with Wine preferring those files (as Windows would load them)
# and once with its own DLLs first. No marker may appear, and both rounds must
# install and remove exactly the same.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
run_on_virtual_display "$@"
check_inputs
PLANTED_DLL=$SETUP_WINDOWS_BUILD/tests/wine/planted.dll
need_file "$PLANTED_DLL" "build the windows preset"
need_file "$SETUP_WINDOWS_BUILD/UnInst.exe" "build the windows preset"
PLANTED_NAMES="version uxtheme dwmapi cryptbase propsys profapi userenv windowscodecs msimg32 imm32 shcore winmm wininet secur32 oleacc"
start_wine planted
# A crash is a failed step, not a debugger's window that waits.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
BASE_OVERRIDES=$WINEDLLOVERRIDES
PREFER_PLANTED="$BASE_OVERRIDES;$(echo $PLANTED_NAMES | tr ' ' ',')=n,b"
DEST='C:\Program Files\Sample Notes'
DEST_UNIX=$(unix_path "$DEST")
MARKERS=$DRIVE_C/planted-markers
TEMP_WIN=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
TEMP_UNIX=$(unix_path "$TEMP_WIN")
UNINSTALL="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$SAMPLE_NAME"
SETUP=$WORK/SampleSetup.exe
build_with_uninstaller "$SETUP" "$SAMPLE_NAME" "$SAMPLE_CODE" --uninstaller-exe "$SETUP_WINDOWS_BUILD/UnInst.exe"

plant_into() {
  mkdir -p "$1"
  for name in $PLANTED_NAMES; do cp "$PLANTED_DLL" "$1/$name.dll"; done
}
is_planted() { grep -qxF -- "${1%.dll}" <(tr ' ' '\n' <<<"$PLANTED_NAMES"); }

# What an installation left: our files with size and time, the records, the links.
state_of() {
  local file
  if [ -d "$DEST_UNIX" ]; then
    for file in $(listing "$DEST_UNIX"); do
      is_planted "$file" || echo "file $file $(stat -c '%s %Y' "$DEST_UNIX/$file")"
    done
  fi
  for value in DisplayName UninstallString DisplayIcon Publisher URLInfoAbout; do
    echo "entry $value=$(reg_value "$UNINSTALL" "$value")"
  done
  echo "remembered=$(reg_value 'HKCU\Software\Quillworks' "$SAMPLE_CODE")"
  { find "$DRIVE_C" -name "*.lnk" -path "*$SAMPLE_NAME*"; ls "$DRIVE_C"/users/*/Desktop/*.lnk; } 2>/dev/null |
    sed "s|^$DRIVE_C||" | LC_ALL=C sort -u | sed 's/^/link /'
}

# Who may use a folder, by its access list as SDDL: only SYSTEM, the
# administrators and the user, nothing inherited. (Wine keeps no descriptor
# of its own: it reads one back from the Unix mode, so BA and the protection
# flag do not show here.)
private_access() {
  local dacl=$1 user=$2 ace
  [ -n "$dacl" ] || return 1
  for ace in $(grep -oE '\([^)]*\)' <<<"${dacl#D:}" | tr -d '()'); do
    IFS=';' read -r type flags _ _ _ trustee <<<"$ace"
    [ "$type" = A ] || continue
    case ";$flags;" in *ID*) return 1 ;; esac
    case $trustee in SY | BA | "$user") ;; *) return 1 ;; esac
  done
}

# Each removal's helper copy ran from a new folder of its own in %TEMP%, with
# that access, and goes with the copy at the next restart.
check_helpers() {
  local tag=$1 helpers helper dacl user pending
  helpers=$(cd "$TEMP_UNIX" && ls -d UnInst-* 2>/dev/null | tr '\n' ' ')
  check "$tag: both removals' helper copies ran from folders of their own ($helpers)" \
    test "$(tr ' ' '\n' <<<"$helpers" | grep -cxE 'UnInst-[0-9a-f]{16}')" -eq 2
  pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
    /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
  for helper in $helpers; do
    drive "$tag-access" access="$TEMP_WIN\\$helper"
    user=$(sed -n 's/^user //p' "$WORK/$tag-access.lines")
    dacl=$(sed -n "s/^access .* //p" "$WORK/$tag-access.lines")
    check "$tag: only SYSTEM, the administrators and the user may use $helper ($dacl)" private_access "$dacl" "$user"
    check "$tag: others have no access to $helper ($(stat -c %A "$TEMP_UNIX/$helper"))" \
      test "$(stat -c %A "$TEMP_UNIX/$helper" | cut -c8-10)" = "---"
    check "$tag: $helper and its copy go at the next restart" \
      grep -qF "$TEMP_WIN\\$helper\\UnInst.exe\\0\\0\\??\\$TEMP_WIN\\$helper\\0" <<<"$pending"
  done
}

wait_until_gone() { for _ in $(seq 100); do [ -e "$1" ] || break; sleep 0.2; done; }

# round TAG OVERRIDES: install, remove with Yes, install again, remove with /S.
round() {
  local tag=$1 download=$WORK/$1/download cwd=$WORK/$1/cwd
  export WINEDLLOVERRIDES=$2
  mkdir -p "$download"
  cp "$SETUP" "$download/SampleSetup.exe"
  plant_into "$download"
  plant_into "$cwd"
  plant_into "$TEMP_UNIX"
  cd "$cwd" || exit 1
  # The browser opens on the proposed folder, which is not there yet: it
  # offers its parent, so the proposal is typed back in before Install.
  drive "$tag-install" start="$(win_path "$download/SampleSetup.exe")" browse=ok settext="1032:$DEST" \
    check=1041:1 check=1042:1 check=1043:1 dump press=99 msgbox wait-exit
  state_of >"$WORK/$tag.installed"
  plant_into "$DEST_UNIX"
  drive "$tag-remove" start="$DEST\\UnInst.exe" msgbox=yes msgbox wait-exit
  wait_until_gone "$DEST_UNIX/UnInst.exe"
  state_of >"$WORK/$tag.removed"
  drive "$tag-again" start="$(win_path "$download/SampleSetup.exe")" press=99 msgbox wait-exit
  plant_into "$DEST_UNIX"
  timeout 120 wine "$DEST\\UnInst.exe" /S >"$WORK/$tag-silent.log" 2>&1
  echo "exit $?" >"$WORK/$tag-silent.lines"
  wait_until_gone "$DEST_UNIX/UnInst.exe"
  state_of >"$WORK/$tag.silent"
  check_helpers "$tag"
  cd "$WORK" || exit 1
  wineserver -w
  rm -rf "$DEST_UNIX"
  for name in $PLANTED_NAMES; do rm -f "$TEMP_UNIX/$name.dll"; done
}

same() {
  local what=$1 a=$2 b=$3
  if diff "$a" "$b" >"$WORK/diff.txt"; then pass "$what"; else
    fail "$what"
    sed 's/^/    /' "$WORK/diff.txt"
  fi
}
# The driver's lines without process ids and the like: what the user saw.
seen() { grep -E '^(control|row|caption|msgbox|exit|browse)' "$WORK/$1.lines" >"$WORK/$1.seen"; }

echo "== with Wine's own DLLs first"
round builtin "$BASE_OVERRIDES"
echo "== with the planted DLLs first"
round planted "$PREFER_PLANTED"
export WINEDLLOVERRIDES=$BASE_OVERRIDES

markers=$(cat "$MARKERS"/* 2>/dev/null | tr -d '\r')
check "no planted DLL ran${markers:+: $(echo "$markers" | tr '\n' ';')}" test -z "$markers"
expect planted-install "exit 0"
# The planted files beside UnInst.exe are files no list names: they stay, and
# the removal says so with exit code 1, in both rounds alike.
expect planted-remove "exit 1"
expect planted-silent "exit 1"
check "installed: $(grep -c '^file ' "$WORK/planted.installed") files and their records" \
  grep -q "^entry DisplayName=$SAMPLE_NAME\$" "$WORK/planted.installed"
check "removed: no file of ours left" bash -c "! grep -q '^file ' '$WORK/planted.removed' '$WORK/planted.silent'"
for stage in installed removed silent; do
  same "the same $stage with the planted DLLs preferred as without" "$WORK/builtin.$stage" "$WORK/planted.$stage"
done
for step in install remove again; do
  seen "builtin-$step"
  seen "planted-$step"
  same "the dialog and boxes of '$step' are the same" "$WORK/builtin-$step.seen" "$WORK/planted-$step.seen"
done
same "the silent removal's exit code is the same" "$WORK/builtin-silent.lines" "$WORK/planted-silent.lines"
# A new Wine session is Wine's restart: it carries out the pending removals.
wine cmd /c exit >/dev/null 2>&1
for _ in $(seq 50); do ls -d "$TEMP_UNIX"/UnInst-* >/dev/null 2>&1 || break; sleep 0.2; done
check "after a restart no helper copy or folder is left" bash -c "! ls -d '$TEMP_UNIX'/UnInst-* 2>/dev/null"
finish
