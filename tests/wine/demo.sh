#!/usr/bin/env bash
# The demo: packs the sample product in examples/ with our uninstaller into build/demo/Setup.exe,
# installs it under Wine on a virtual display (the test driver presses
# Install), and shows what the installation left: the files, the registry
# entries, the shortcuts, and a screenshot of the dialog.
#   SETUP_NATIVE_BUILD and SETUP_WINDOWS_BUILD choose other build trees.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export SETUP_SOURCE_DIR=$root
export SETUP_WINDOWS_BUILD=${SETUP_WINDOWS_BUILD:-$root/build/windows}
export SETUP_MKSETUP=${SETUP_MKSETUP:-${SETUP_NATIVE_BUILD:-$root/build/native}/mksetup}
export SETUP_WINE_WORK=$root/build/demo
source "$root/tests/wine/lib.sh"
run_on_virtual_display "$@"
check_inputs

DEMO=$root/build/demo
mkdir -p "$DEMO"
start_wine wine
echo "== packing examples/ into build/demo/Setup.exe"
assemble_sample "$DEMO/product"
# Our own uninstaller and its list of installed files, not the sample's.
rm -f "$DEMO/product/UnInst.exe"
"$SETUP_MKSETUP" build "$DEMO/product" -o "$DEMO/Setup.exe" --code "$SAMPLE_CODE" --window-class "$SAMPLE_CLASS" \
  --main-program "$SAMPLE_MAIN" --date "$SAMPLE_DATE" --stub "$STUB" --add-uninstaller -q ||
  { echo "mksetup build failed" >&2; exit 1; }
"$SETUP_MKSETUP" list "$DEMO/Setup.exe"
echo "stub: $(stat -c %s "$STUB") bytes; setup: $(stat -c %s "$DEMO/Setup.exe") bytes"

echo "== installing under Wine (the driver reads the dialog, then presses Install)"
SYNC=$WORK/dialog
( screenshot_at "$SYNC" "$DEMO/dialog.png" ) &
drive demo start="$(win_path "$DEMO/Setup.exe")" dump sync="$(win_path "$SYNC")" press=99 msgbox wait-exit
status=$?
wait

DEST='C:\Program Files\Sample Notes'
echo "== installed files in $DEST"
(cd "$(unix_path "$DEST")" 2>/dev/null && TZ=$TZ ls -l --time-style='+%Y-%m-%d %H:%M %Z' | tail -n +2) ||
  echo "  (nothing installed)"
echo "== registry"
for key in 'HKCU\Software\Quillworks' "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$SAMPLE_NAME"; do
  wine reg query "$key" 2>/dev/null | tr -d '\r' | sed '/^$/d'
done
echo "== shortcuts"
while IFS= read -r link; do
  echo "${link#$DRIVE_C/}"
  lnkinfo "$link" 2>/dev/null | grep -E '^[[:space:]]*(Local path|Working directory)' |
    sed 's/^[[:space:]]*/    /; s/[[:space:]]*: /: /'
  echo "    Show command: $(lnk_show_command "$link")"
done < <({ find "$DRIVE_C" -name '*.lnk' -newer "$DEMO/Setup.exe"
           find "$DRIVE_C"/users/*/Desktop/ -maxdepth 1 -name '*.lnk'; } 2>/dev/null | sort -u)
# The README shows the dialog as a run of the demo saw it, the screen cut to
# the dialog: made when it is missing, or anew with SETUP_DEMO_PICTURE=1.
# It is taken while the setup checks its package, so that the progress bar
# shows: a copy of the sample with 40 MB of random data takes a few seconds.
picture=$root/docs/images/setup-dialog.png
if [ ! -e "$picture" ] || [ "${SETUP_DEMO_PICTURE:-0}" = 1 ]; then
  cp -r "$DEMO/product" "$DEMO/product-large"
  head -c 41943040 /dev/urandom >"$DEMO/product-large/Data.bin"
  "$SETUP_MKSETUP" build "$DEMO/product-large" -o "$DEMO/LargeSetup.exe" --code "$SAMPLE_CODE" \
    --window-class "$SAMPLE_CLASS" --main-program "$SAMPLE_MAIN" --date "$SAMPLE_DATE" --stub "$STUB" \
    --add-uninstaller --level 0 -q
  SYNC=$WORK/checking
  ( screenshot_at "$SYNC" "$DEMO/dialog-checking.png" ) &
  drive picture start-shown="$(win_path "$DEMO/LargeSetup.exe")" sync="$(win_path "$SYNC")" >/dev/null
  wait
  rm -rf "$DEMO/product-large" "$DEMO/LargeSetup.exe"
  mkdir -p "$(dirname "$picture")"
  convert "$DEMO/dialog-checking.png" -trim +repage -strip "$picture" 2>/dev/null ||
    cp "$DEMO/dialog-checking.png" "$picture"
fi
echo "== screenshot of the dialog: $DEMO/dialog.png (for the README: docs/images/setup-dialog.png)"
stop_wine
[ $status -eq 0 ] && grep -qx "exit 0" "$WORK/demo.lines"
