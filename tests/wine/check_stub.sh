#!/usr/bin/env bash
# Checks one of our Windows programs: a stripped x86-64 GUI program that
# imports only kernel32 and msvcrt at load time (every other system DLL is
# delay-loaded), with its icon, manifest and version
# information. The bare Setup.exe is at most 89,999 bytes (the package's
# signature is searched from that offset on) and carries its dialog;
# UnInst.exe is at most 64 KiB.
set -uo pipefail
stub=${1:?usage: check_stub.sh PROGRAM.EXE [setup|uninstaller]}
kind=${2:-setup}
objdump=x86_64-w64-mingw32-objdump
# Only the DLLs Windows always takes from its own folder are imported at load
# time; the rest are delay-loaded after the program has limited the search.
imports_wanted="kernel32.dll msvcrt.dll"
if [ "$kind" = setup ]; then
  limit=89999 name=Setup.exe description="Quillworks Setup"
  delayed="advapi32.dll comctl32.dll gdi32.dll ole32.dll shell32.dll user32.dll"
else
  limit=65536 name=UnInst.exe description="Quillworks Uninstall"
  delayed="advapi32.dll ole32.dll shell32.dll user32.dll"
fi
failed=0
fail() { echo "FAIL: $*"; failed=1; }

[ -f "$stub" ] || { echo "FAIL: $stub not found: build the windows preset first"; exit 1; }
size=$(stat -c %s "$stub")
echo "size: $size bytes (limit $limit)"
[ "$size" -le "$limit" ] || fail "$name is $size bytes, more than $limit"

headers=$("$objdump" -p "$stub") || { echo "FAIL: objdump cannot read $stub"; exit 1; }
grep -q "^Magic.*020b" <<<"$headers" || fail "not a 64-bit (PE32+) image"
grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || fail "not a GUI program"
grep -q "^architecture: i386:x86-64" < <("$objdump" -f "$stub") || fail "not built for x86-64"

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
echo "imports: $imports"
[ "$imports" = "$imports_wanted " ] || fail "imports $imports at load time; only $imports_wanted may be"
# The delay-load descriptors name their DLLs in the image's read-only data.
strings_all=$(strings -n 6 "$stub" | tr 'A-Z' 'a-z')
for dll in $delayed; do
  grep -qx -- "$dll" <<<"$strings_all" || fail "does not delay-load $dll: the import table was not read right"
done

if "$objdump" -t "$stub" | grep -q '^\['; then fail "symbols left in the image (not stripped)"; fi
# A C++ library symbol in the imports would mean its runtime came along.
if "$objdump" -p "$stub" | grep -Eq '_Zn[wa]|_Zd[la]|__cxa_|_ZSt|__gxx_personality'; then
  fail "imports a C++ runtime symbol"
fi

# The resources as the program carries them.
resources=$(x86_64-w64-mingw32-windres -i "$stub" -O rc 2>/dev/null) || fail "windres cannot read the resources"
has() { grep -Fq -- "$2" <<<"$resources" || fail "resources: $1 missing ($2)"; }
has "icon group 1" "1 14 /* RT_GROUP_ICON */"
for image in '\020\020' '\040\040' '\060\060'; do has "an icon image of each size" "\"$image\000\000\", 1, 32"; done
if [ "$kind" = setup ]; then
  has "dialog 1000 of 330 x 200 units" "1000 DIALOG 0, 0, 330, 200"
  has "the dialog's styles" "STYLE 0x80c800c0"
  has "the dialog's font" 'FONT 8, "MS Sans Serif"'
fi
has "the file version" "FILEVERSION 2, 0, 0, 0"
has "the product version" "PRODUCTVERSION 2, 0, 0, 0"
has "CompanyName" 'VALUE "CompanyName", "Quillworks"'
has "FileDescription" "VALUE \"FileDescription\", \"$description\""
has "FileVersion" 'VALUE "FileVersion", "20.00"'
has "ProductVersion" 'VALUE "ProductVersion", "20.00"'
strings=$(strings -n 8 "$stub")
for text in "name=\"$name\" processorArchitecture=\"amd64\" version=\"5.1.0.0\" type=\"win32\"" \
  "<description>$description</description>" 'level="requireAdministrator" uiAccess="false"' \
  '{e2011457-1546-43c5-a5fe-008deee3d3f0}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' \
  '>true</dpiAware>' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'; do
  grep -Fq -- "$text" <<<"$strings" || fail "manifest: $text missing"
done

[ $failed -eq 0 ] && echo "$name passes: $size bytes, imports only $imports_wanted, delay-loads $delayed"
exit $failed
