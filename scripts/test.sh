#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh native-asan
echo "== unit tests (native)"
ctest --preset native -L unit -j 2
echo "== unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
ctest --preset native-asan -L unit -j 2
for label in mksetup wine fuzz tsan; do
  if ctest --preset native -L "$label" -N 2>/dev/null | grep -q "Total Tests: [1-9]"; then
    echo "== $label tests"
    ctest --preset native -L "$label"
  fi
done
echo "All tests passed."
