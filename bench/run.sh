#!/usr/bin/env bash
# The benchmark in one command: builds what it measures in its own optimised
# trees, makes (or reuses) the deterministic corpus, builds a setup from it and
# measures the engine against the bare decoder and against xz.
#
#   bench/run.sh              full corpus: about 100 MiB in about 2,000 files
#   bench/run.sh --small      a few MiB, well under a minute
#   bench/run.sh --levels     mksetup build at every --level on the corpus:
#                             time and size, as a table (with --small too)
#   options: --rounds N (A to E, default 7), --build-rounds N (F, default 2)
#
# Exit status: 0 every target holds, 1 a target is missed, 2 the benchmark
# could not run. Everything lives under build/bench/.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=full
levels=0
rounds=7
build_rounds=2
while [ $# -gt 0 ]; do
  case "$1" in
    --small) mode=small ;;
    --levels) levels=1 ;;
    --rounds) rounds="${2:?--rounds needs a number}"; shift ;;
    --build-rounds) build_rounds="${2:?--build-rounds needs a number}"; shift ;;
    -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
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

if [ "$levels" = 1 ]; then
  echo "== mksetup build at every level" >&2
  product=$root/corpus-$mode/product
  input=$(du -sb "$product" | cut -f1)
  echo "| level | time (s) | setup (bytes) | of the input |"
  echo "|---:|---:|---:|---:|"
  for level in 0 1 2 3 4 5 6 7 8 9; do
    out=$root/work-$mode/level-$level.exe
    mkdir -p "$(dirname "$out")"
    start=$(date +%s.%N)
    "$root/native/mksetup" build "$product" -o "$out" --code QW --window-class "" --main-program Qw.exe \
      --stub "$root/windows/Setup.exe" --date 2024-01-01 --level $level -q >/dev/null 2>&1 || exit 2
    end=$(date +%s.%N)
    size=$(stat -c %s "$out")
    awk -v l=$level -v s=$start -v e=$end -v z=$size -v i=$input \
      'BEGIN { printf "| %d | %.1f | %d | %.1f %% |\n", l, e - s, z, 100 * z / i }'
  done
  exit 0
fi

echo "== measuring" >&2
exec "$root/native/bench/bench_driver" \
  --mksetup "$root/native/mksetup" \
  --decoder "$root/native/bench/bench_decode" \
  --product "$root/corpus-$mode/product" \
  --stub "$root/windows/Setup.exe" \
  --work "$root/work-$mode" \
  --rounds "$rounds" --build-rounds "$build_rounds"
