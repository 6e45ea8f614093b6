#!/usr/bin/env bash
# Builds both presets and makes the Debian package of mksetup with CPack:
# build/package/mksetup_<version>_amd64.deb, holding mksetup, the Windows
# programs it packs (Setup.exe, UnInst.exe), its man page and its docs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
mkdir -p build/package
(cd build/native && cpack -G DEB -B "$PWD/../package" >"$PWD/../package/cpack.log" 2>&1) ||
  { cat build/package/cpack.log >&2; echo "cpack failed" >&2; exit 1; }
rm -rf build/package/_CPack_Packages
ls build/package/mksetup_*_amd64.deb
