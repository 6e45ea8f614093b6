#!/usr/bin/env bash
# Builds the fuzz targets with clang into the given folder (default
# build/fuzz). Usage: build_fuzzers.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/../../build/fuzz}"
if ! command -v clang++ >/dev/null; then
  echo "build_fuzzers.sh: clang++ is missing (scripts/deps.sh installs clang and libfuzzer-14-dev)" >&2
  exit 1
fi
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$here/project" -B "$out" "${generator[@]}" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE= -DCMAKE_CXX_FLAGS_RELEASE= >/dev/null
cmake --build "$out" -j 2
