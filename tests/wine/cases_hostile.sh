#!/usr/bin/env bash
# Hostile packages, made with names mksetup build refuses, in one fresh
# prefix: a language file whose code is a wildcard never costs the other
# languages their files, and names that are no plain file names are told in
# one message box, however many there are.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
run_on_virtual_display "$@"
check_inputs
need_file "$SETUP_RAW_SETUP" "build the native preset"
start_wine hostile
DEST='C:\Program Files\Sample Notes'
DEST_UNIX=$(unix_path "$DEST")
NOT_INSTALLED="Entries of the package that were not installed:"

assemble_sample "$WORK/sample"
printf '[Notes]\r\nLanguage=Odd\r\n' >"$WORK/odd.lng"
sample_entries=()
while IFS= read -r relative; do
  sample_entries+=("${relative//\//\\}=$WORK/sample/$relative")
done < <(cd "$WORK/sample" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
# raw_setup NAME STORED=FILE...: the sample's entries and these.
raw_setup() {
  local name=$1
  shift
  "$SETUP_RAW_SETUP" "$STUB" "$WORK/$name.exe" "$SAMPLE_CODE" "$SAMPLE_CLASS" "$SAMPLE_MAIN" \
    "${sample_entries[@]}" "$@" || { echo "raw_setup $name failed" >&2; exit 1; }
}

echo "== a language file with the code ??, installed twice"
raw_setup OddCode 'Notes_??.LNG='"$WORK/odd.lng"
ROWS=("row 0 code=US state=2 text=English" "row 1 code=FR state=2 text=Français"
  "row 2 code=DE state=2 text=German" "row 3 code=IT state=2 text=Italiano")
for run in first again; do
  drive "odd-$run" start="$(win_path "$WORK/OddCode.exe")" dump press=99 msgbox msgbox wait-exit
  expect_rows "odd-$run" "${ROWS[@]}"
  check "odd-$run: the entry is refused in a box" grep -q "^msgbox.text $NOT_INSTALLED 1\\\\n" "$WORK/odd-$run.lines"
  expect "odd-$run" "msgbox.text $SAMPLE_NAME has been successfully installed."
  expect "odd-$run" "exit 0"
  for file in Notes_FR.LNG Notes_IT.LNG Notes.exe; do
    check "odd-$run: $file is still installed" test -f "$DEST_UNIX/$file"
  done
done

echo "== five names that are no plain file names"
raw_setup FiveNames 'a:b='"$WORK/odd.lng" 'CON='"$WORK/odd.lng" 'x?.txt='"$WORK/odd.lng" \
  'star*.txt='"$WORK/odd.lng" 'trailing.='"$WORK/odd.lng"
drive five start="$(win_path "$WORK/FiveNames.exe")" settext='1032:C:\Five' press=99 msgbox msgbox wait-exit
check "five: exactly two message boxes" test "$(grep -c '^msgbox.text ' "$WORK/five.lines")" = 2
box=$(grep -m1 '^msgbox.text ' "$WORK/five.lines")
check "five: the first says five entries were not installed" test "${box#msgbox.text $NOT_INSTALLED 5\\n}" != "$box"
for name in 'a:b' 'CON' 'x?.txt' 'star*.txt' 'trailing.'; do
  check "five: the box names $name" grep -Fq "\\n$name\\n" <<<"$box\\n"
done
expect five "msgbox.text $SAMPLE_NAME has been successfully installed."
expect five "exit 0"
check "five: the sample's files are installed" test -f "$DRIVE_C/Five/Notes.exe" -a -f "$DRIVE_C/Five/ReadMe.txt"

finish
