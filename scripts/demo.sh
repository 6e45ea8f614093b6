#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ -x tests/wine/demo.sh ]; then
  exec tests/wine/demo.sh
fi
echo "Built: build/native (tools, tests) and build/windows (Windows programs)."
ls -l build/native/mksetup build/windows/Setup.exe 2>/dev/null || true
