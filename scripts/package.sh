#!/usr/bin/env bash
# Builds both presets and makes the releases of mksetup:
#   build/package/mksetup_<version>_amd64.deb (CPack): mksetup, the Windows
#     programs it packs (Setup.exe, UnInst.exe), its man page and its docs;
#   build/package/mksetup-<version>-setup.exe and -windows.zip: mksetup.exe for
#     Windows publishers, installed by our own setup or unzipped
#     (scripts/windows_release.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
mkdir -p build/package
(cd build/native && cpack -G DEB -B "$PWD/../package" >"$PWD/../package/cpack.log" 2>&1) ||
  { cat build/package/cpack.log >&2; echo "cpack failed" >&2; exit 1; }
rm -rf build/package/_CPack_Packages
ls build/package/mksetup_*_amd64.deb
scripts/windows_release.sh build/package
