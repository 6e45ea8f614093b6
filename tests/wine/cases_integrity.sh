#!/usr/bin/env bash
# Setups whose package is damaged or missing, and a signed setup, in one
# fresh prefix: a damaged setup and the bare stub say so, close and install
# nothing; a setup signed after building verifies and still installs.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
run_on_virtual_display "$@"
check_inputs
start_wine integrity
SETUP=$WORK/SampleSetup.exe
build_sample_setup "$SETUP"
DEST_UNIX=$(unix_path 'C:\Program Files\Sample Notes')
BROKEN="Broken file, please download again."

echo "== a damaged setup"
DAMAGED=$WORK/Damaged.exe
damage_setup "$SETUP" "$DAMAGED"
# The product name is what the scan read before the damage showed; without the
# package's own class it would be the class of the product's windows.
wine "$FAKE_PRODUCT" "$SAMPLE_NAME" 6 >"$WORK/fake.out" 2>/dev/null &
fake=$!
for _ in $(seq 100); do grep -q "window ready" "$WORK/fake.out" 2>/dev/null && break; sleep 0.1; done
drive damaged start="$(win_path "$DAMAGED")" msgbox wait-exit
fake_status=0
wait $fake || fake_status=$?
expect damaged "started msgbox"
expect damaged "msgbox.title Damaged.exe"
expect damaged "msgbox.text $BROKEN"
expect damaged "exit 0"
check "nothing installed" test ! -e "$DEST_UNIX"
check "no window closed on the word of a damaged package (fake exit $fake_status)" \
  test "$fake_status" -eq 3 -a -z "$(grep 'destroy received' "$WORK/fake.out")"

echo "== the bare stub"
cp "$STUB" "$WORK/Bare.exe"
drive bare start="$(win_path "$WORK/Bare.exe")" msgbox wait-exit
expect bare "msgbox.title Bare.exe"
expect bare "msgbox.text $BROKEN"
expect bare "exit 0"
check "nothing installed" test ! -e "$DEST_UNIX"

echo "== a signed setup"
SIGNED=$WORK/Signed.exe
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/key.pem" -out "$WORK/cert.pem" -days 2 \
  -subj "/CN=Setup test signer" -addext extendedKeyUsage=codeSigning >"$WORK/openssl.log" 2>&1
osslsigncode sign -certs "$WORK/cert.pem" -key "$WORK/key.pem" -n "$SAMPLE_NAME" \
  -in "$SETUP" -out "$SIGNED" >"$WORK/sign.log" 2>&1
check "osslsigncode signed the setup" test -s "$SIGNED"
osslsigncode verify -CAfile "$WORK/cert.pem" -in "$SIGNED" >"$WORK/verify.log" 2>&1
verified=$?
check "osslsigncode verify accepts the signature" test $verified -eq 0
check "the signature sits after the package" test "$(stat -c %s "$SIGNED")" -gt "$(stat -c %s "$SETUP")"
"$SETUP_MKSETUP" test "$SIGNED" >"$WORK/mksetup-test.log" 2>&1
check "mksetup test finds the signed package sound" test $? -eq 0
drive signed start="$(win_path "$SIGNED")" dump settext='1032:C:\Signed' press=99 msgbox wait-exit
expect signed "caption Setup $SAMPLE_NAME 1.4"
expect signed "msgbox.text $SAMPLE_NAME has been successfully installed."
expect signed "exit 0"
check "the signed setup installed its files" test -f "$DRIVE_C/Signed/Notes.exe" -a -f "$DRIVE_C/Signed/ReadMe.txt"
cmp -s "$DRIVE_C/Signed/Notes.exe" "$SAMPLE_BIN/Notes.exe"
check "Notes.exe arrived intact" test $? -eq 0

finish
