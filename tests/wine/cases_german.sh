#!/usr/bin/env bash
# The sample's setup on a German system with a small screen: the German texts,
# the German names of the built-in languages in the list's order, the German
# success message, and the dialog centred although it does not fit.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/layout.sh"
# A screen smaller than the dialog, by odd amounts: the centred dialog starts
# left of and above the screen, rounded down.
export WINE_SCREEN=481x321x24
run_on_virtual_display "$@"
check_inputs
WINE_LC_ALL=de_DE.UTF-8 start_wine german
SETUP=$WORK/SampleSetup.exe
build_sample_setup "$SETUP"
CAPTION="Installation $SAMPLE_NAME 1.4"
# This prefix offers Quick Launch: its folder exists and no pinned taskbar does.
ROAMING=$(find "$DRIVE_C/users" -maxdepth 3 -type d -path '*/AppData/Roaming' | head -1)
QUICK_LAUNCH="$ROAMING/Microsoft/Internet Explorer/Quick Launch"
mkdir -p "$QUICK_LAUNCH"

drive german start="$(win_path "$SETUP")" layout dump press=99 msgbox wait-exit
check_layout german
check "the dialog is larger than this screen" grep -Eq '^dialog .* window=-[0-9]+,-[0-9]+,' "$WORK/german.lines"
expect german "caption $CAPTION"
expect german "control 1031 visible=1 checked=- text=Zielpfad:"
expect german "control 1041 visible=1 checked=1 text=Programmgruppe erstellen"
expect german "control 1042 visible=1 checked=1 text=Desktop-Symbol anlegen"
expect german "control 1043 visible=1 checked=1 text=Symbol in der Schnellstartleiste anlegen"
expect german "control 99 visible=1 checked=- text=&OK"
expect german "control 2 visible=1 checked=- text=Abbruch"
expect german "column 0 text=Sprache"
expect_rows german "row 0 code=DE state=2 text=Deutsch" "row 1 code=US state=2 text=Englisch" \
  "row 2 code=FR state=2 text=Français" "row 3 code=IT state=2 text=Italiano"
expect german "msgbox.title $CAPTION"
expect german "msgbox.text $SAMPLE_NAME wurde erfolgreich installiert."
expect german "exit 0"
check "the Quick Launch link was made" test -f "$QUICK_LAUNCH/$SAMPLE_NAME.lnk"
[ -f "$QUICK_LAUNCH/$SAMPLE_NAME.lnk" ] && check "it targets Notes.exe" \
  test "$(lnk_field "$QUICK_LAUNCH/$SAMPLE_NAME.lnk" "Local path")" = 'C:\Program Files\Sample Notes\Notes.exe'

finish
