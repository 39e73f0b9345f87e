#!/bin/sh
# Runs every fuzz target of a fuzz build for SECONDS each, starting from the seed corpus in fuzz/corpus.
# The corpus grown by a run and the inputs that crashed stay in BUILD/fuzz-work; a crash fails the run.
# usage: run-fuzz.sh BUILD SECONDS [TARGET...]
set -u
build=$1
seconds=$2
shift 2
src=$(cd "$(dirname "$0")/.." && pwd)
targets=${*:-"archive csv listfile stakes ratings scriptline settings system prefetch update"}
work="$build/fuzz-work"
failed=0
printf '%-12s %12s %8s %s\n' target runs crashes corpus
for t in $targets; do
  exe="$build/fuzz/fuzz_$t"
  [ -x "$exe" ] || { echo "$exe is missing" >&2; exit 2; }
  mkdir -p "$work/$t/corpus" "$work/$t/crashes"
  log="$work/$t/log.txt"
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/$t/crashes/" "$work/$t/corpus" "$src/fuzz/corpus/$t" >"$log" 2>&1
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  crashes=$(find "$work/$t/crashes" -type f | wc -l)
  size=$(find "$work/$t/corpus" -type f | wc -l)
  printf '%-12s %12s %8s %s\n' "$t" "${runs:-?}" "$crashes" "$size"
  if [ "$crashes" -ne 0 ]; then
    failed=1
    grep -m 3 -E 'ERROR|runtime error|SUMMARY' "$log" >&2
  fi
done
exit $failed
