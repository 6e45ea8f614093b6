#!/usr/bin/env bash
# A long fuzzing run of one target that feeds its corpus: runs TARGET for
# SECONDS with WORKERS processes (default 2, one a core), keeps what it finds
# new, then minimises the corpus. Named seeds (hand-made inputs and kept
# findings) stay as they are; the hash-named inputs are replaced by the ones a
# merge of the old inputs and the new ones needs to keep the coverage. Prints
# the executions of each worker and their sum.
# Usage: campaign.sh TARGET CORPUS SECONDS [WORKERS]
set -euo pipefail
shopt -s nullglob
usage="usage: campaign.sh TARGET CORPUS SECONDS [WORKERS]"
if [ "${1:-}" = --help ]; then echo "$usage"; exit 0; fi
if [ $# -lt 3 ]; then echo "$usage" >&2; exit 2; fi
target="$(realpath "$1")" corpus="$(realpath "$2")" seconds="$3" workers="${4:-2}"
if [ ! -x "$target" ]; then
  echo "campaign.sh: $1 is not built (tests/fuzz/build_fuzzers.sh builds it)" >&2
  exit 1
fi
if [ ! -d "$corpus" ]; then
  echo "campaign.sh: $2 is not a folder" >&2
  exit 1
fi
work="$(mktemp -d "${TMPDIR:-/tmp}/setup-campaign-XXXXXX")"
mkdir "$work/new" "$work/findings" "$work/kept" "$work/old"
is_hashed() { [[ "$(basename "$1")" =~ ^[0-9a-f]{40}$ ]]; }

# -jobs writes one log a worker into the current folder.
status=0
(cd "$work" && "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/findings/" -jobs="$workers" -workers="$workers" \
  "$work/new" "$corpus" >"$work/run.log" 2>&1) || status=$?
total=0
for log in "$work"/fuzz-*.log; do
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "$(basename "$log"): ${runs:-?} executions"
  total=$((total + ${runs:-0}))
done
echo "total: $total executions, $(ls "$work/new" | wc -l) new inputs"
if [ "$status" -ne 0 ] || [ -n "$(ls "$work/findings")" ]; then
  echo "campaign.sh: findings in $work/findings; the corpus is left as it was" >&2
  exit 1
fi

for f in "$corpus"/*; do
  if is_hashed "$f"; then cp "$f" "$work/old/"; else cp "$f" "$work/kept/"; fi
done
named=$(ls "$work/kept" | wc -l)
# Inputs already in the first folder count as covered; the merge adds there
# only what brings new coverage, named by its hash.
"$target" -merge=1 -timeout=20 -rss_limit_mb=2048 "$work/kept" "$work/old" "$work/new" \
  >"$work/merge.log" 2>&1
for f in "$corpus"/*; do if is_hashed "$f"; then rm -f "$f"; fi; done
for f in "$work/kept"/*; do if is_hashed "$f"; then cp "$f" "$corpus/"; fi; done
echo "corpus: $named named seeds, $(ls "$work/old" | wc -l) hashed inputs before, $(($(ls "$corpus" | wc -l) - named)) after"
rm -rf "$work"
