#!/usr/bin/env bash
# A large package under Wine (over 200 MB unpacked, random data at level 0):
# the dialog shows at once, answers throughout both package passes, refuses
# to close while the install pass runs, and its progress bar runs up to its
# end; every file then lies installed. Prints the figures.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
run_on_virtual_display "$@"
check_inputs
start_wine progress
DEST='C:\Program Files\Sample Notes'
DEST_UNIX=$(unix_path "$DEST")
PRODUCT=$WORK/product
SETUP=$WORK/BigSetup.exe
assemble_sample "$PRODUCT"
for i in 1 2 3 4; do head -c 52428800 /dev/urandom >"$PRODUCT/Data$i.bin"; done
"$SETUP_MKSETUP" build "$PRODUCT" -o "$SETUP" --code "$SAMPLE_CODE" --window-class "$SAMPLE_CLASS" \
  --main-program "$SAMPLE_MAIN" --date "$SAMPLE_DATE" --stub "$STUB" --level 0 -q >"$WORK/mksetup.log" 2>&1 ||
  { cat "$WORK/mksetup.log" >&2; echo "mksetup build failed" >&2; exit 1; }
unpacked=$(du -cb "$PRODUCT" | tail -1 | cut -f1)
echo "the product: $unpacked bytes; the setup: $(stat -c %s "$SETUP") bytes"

# The first program a fresh prefix starts pays for Wine's own first loads:
# the small sample's setup takes that, so that the time measured is ours.
build_sample_setup "$WORK/SmallSetup.exe"
drive warm-up start="$(win_path "$WORK/SmallSetup.exe")" timing press=2 wait-exit
drive big timeout=300000 start="$(win_path "$SETUP")" timing dump watch-install msgbox wait-exit
figure() { sed -n "s/^$1 //p" "$WORK/big.lines"; }
shown=$(figure shown-after-ms)
check "the window shows within 500 ms of the start ($shown ms)" test "${shown:-9999}" -le 500
scan_wait=$(figure scan-longest-wait-ms)
check "the window answers during the scan pass (longest wait $scan_wait ms, scan done after $(figure ready-after-ms) ms)" \
  test "${scan_wait:-9999}" -le 250
expect big "control 1047 visible=1 checked=- text="
wait_ms=$(figure longest-wait-ms)
check "the window answers during the install pass (longest wait $wait_ms ms, pass $(figure pass-ms) ms)" \
  test "${wait_ms:-9999}" -le 250
expect big "progress-went-down 0"
check "the progress bar reaches its end ($(figure progress-last))" test "$(figure progress-last)" = "10000 of 10000"
expect big "install-enabled-during-pass 0"
expect big "close-sent 1"
check "the status line showed the files ($(figure status-texts) texts)" test "$(figure status-texts)" -ge 2
expect big "msgbox.text $SAMPLE_NAME has been successfully installed."
expect big "exit 0"
for file in Data1.bin Data2.bin Data3.bin Data4.bin Notes.exe ReadMe.txt; do
  check "$file installed whole" cmp -s "$PRODUCT/$file" "$DEST_UNIX/$file"
done
rm -f "$PRODUCT"/Data*.bin "$SETUP"
finish
