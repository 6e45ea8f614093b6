#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on a copy of its seed corpus and
# fails on any finding (a crash, a sanitizer report, a broken invariant, a
# timeout or running out of memory); the input that did it is kept in
# ARTIFACTS for the corpus and a unit test.
# Usage: run_fuzzer.sh TARGET SEEDS SECONDS ARTIFACTS [libFuzzer options...]
set -euo pipefail
if [ $# -lt 4 ]; then
  echo "usage: run_fuzzer.sh TARGET SEEDS SECONDS ARTIFACTS [options...]" >&2
  exit 2
fi
target="$1" seeds="$2" seconds="$3" artifacts="$4"
shift 4
if [ ! -x "$target" ]; then
  echo "run_fuzzer.sh: $target is not built (tests/fuzz/build_fuzzers.sh builds it)" >&2
  exit 1
fi
mkdir -p "$artifacts"
work="$(mktemp -d "${TMPDIR:-/tmp}/setup-fuzz-XXXXXX")"
trap 'rm -rf "$work"' EXIT
# New inputs go to the work folder; the committed seeds are only read.
"$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$@" "$work" "$seeds"
