#!/usr/bin/env bash
# The Windows release of mksetup, made from the built trees:
#   OUT/mksetup-<version>-setup.exe    our own setup, built by the fresh mksetup
#   OUT/mksetup-<version>-windows.zip  the same files, for those who want no installation
# The product folder (mksetup.exe with Setup.exe beside it, the documents as
# text files, FILE_ID.DIZ) is assembled under OUT and is not kept in the
# repository. The setup adds our UnInst.exe to it, which is also the one
# mksetup.exe packs, found beside it; the zip holds it as a file. Both files are the same bytes on every run of one commit:
# SOURCE_DATE_EPOCH defaults to the commit's date.
#   usage: scripts/windows_release.sh OUT [NATIVE_BUILD [WINDOWS_BUILD]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: scripts/windows_release.sh OUT [NATIVE_BUILD [WINDOWS_BUILD]]}
native=${2:-$root/build/native}
windows=${3:-$root/build/windows}
for file in "$native/mksetup" "$windows/mksetup.exe" "$windows/Setup.exe" "$windows/UnInst.exe"; do
  [ -e "$file" ] || { echo "missing $file: build the native and windows presets" >&2; exit 1; }
done
version=$("$native/mksetup" --version | cut -d' ' -f2)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
name=mksetup-$version
product=$out/$name
rm -rf "$product"
mkdir -p "$product"

# Text for Notepad: CR LF line ends.
crlf() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
cp "$windows/mksetup.exe" "$windows/Setup.exe" "$product/"
crlf "$root/README.md" "$product/README.txt"
crlf "$root/docs/publisher-guide.md" "$product/publisher-guide.txt"
crlf "$root/docs/package-format.md" "$product/package-format.txt"
crlf "$root/docs/deploying.md" "$product/deploying.txt"
groff -t -man -Tutf8 -P -cbou "$root/docs/mksetup.1" 2>/dev/null >"$out/mksetup.txt"
crlf "$out/mksetup.txt" "$product/mksetup.txt"
rm -f "$out/mksetup.txt"
printf 'mksetup Version %s\r\nfor 64-bit Windows\r\n\r\nBuilds self-extracting setups for 64-bit Windows from a product folder,\r\nand lists, tests, extracts, installs and uninstalls them.\r\n' \
  "$version" >"$product/FILE_ID.DIZ"
# The same modes and times whatever the umask and the clock said.
chmod 644 "$product"/*
touch -d "@$SOURCE_DATE_EPOCH" "$product" "$product"/*

setup=$out/$name-setup.exe
"$native/mksetup" build "$product" -o "$setup" --code MKS --window-class SetupToolNoWindow \
  --main-program mksetup.exe --stub "$windows/Setup.exe" --add-uninstaller \
  --uninstaller-exe "$windows/UnInst.exe" -q

zip=$out/$name-windows.zip
rm -f "$zip"
cp "$windows/UnInst.exe" "$product/"
chmod 644 "$product/UnInst.exe"
touch -d "@$SOURCE_DATE_EPOCH" "$product/UnInst.exe"
(cd "$out" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q "$zip" -@)
echo "$setup"
echo "$zip"
