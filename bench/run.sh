#!/usr/bin/env bash
# The benchmark in one command: builds what it measures in its own optimised
# trees, makes (or reuses) the deterministic corpus, builds a setup from it and
# measures the engine against the bare decoder and against xz.
#
#   bench/run.sh              full corpus: about 100 MiB in about 2,000 files
#   bench/run.sh --small      a few MiB, well under a minute
#   options: --rounds N (A to E, default 7), --build-rounds N (F, default 2)
#
# Exit status: 0 every target holds, 1 a target is missed, 2 the benchmark
# could not run. Everything lives under build/bench/.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=full
rounds=7
build_rounds=2
while [ $# -gt 0 ]; do
  case "$1" in
    --small) mode=small ;;
    --rounds) rounds="${2:?--rounds needs a number}"; shift ;;
    --build-rounds) build_rounds="${2:?--build-rounds needs a number}"; shift ;;
    -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench/run.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

if [ "$mode" = small ]; then bytes=$((4 * 1024 * 1024)); else bytes=$((100 * 1024 * 1024)); fi
root=build/bench
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -gt 2 ] && jobs=2

for tool in cmake xz x86_64-w64-mingw32-g++-posix; do
  command -v "$tool" >/dev/null || { echo "bench/run.sh: $tool is missing; run scripts/deps.sh" >&2; exit 2; }
done

echo "== building (build/bench/native, build/bench/windows)" >&2
{
  cmake --preset native -B "$root/native" >/dev/null &&
  cmake --build "$root/native" -j "$jobs" --target mksetup bench_decode bench_corpus bench_driver >/dev/null &&
  cmake --preset windows -B "$root/windows" >/dev/null &&
  cmake --build "$root/windows" -j "$jobs" --target Setup >/dev/null
} || { echo "bench/run.sh: the build failed" >&2; exit 2; }

echo "== corpus ($mode)" >&2
"$root/native/bench/bench_corpus" --out "$root/corpus-$mode" --bytes "$bytes" >&2 || exit 2

echo "== measuring" >&2
exec "$root/native/bench/bench_driver" \
  --mksetup "$root/native/mksetup" \
  --decoder "$root/native/bench/bench_decode" \
  --product "$root/corpus-$mode/product" \
  --stub "$root/windows/Setup.exe" \
  --work "$root/work-$mode" \
  --rounds "$rounds" --build-rounds "$build_rounds"
