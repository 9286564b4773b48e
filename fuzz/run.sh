#!/usr/bin/env bash
# Runs every fuzz target of a build folder for the given number of seconds each.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
status=0
for f in "$build"/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  "$f" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 "$corpus" \
    2>"$build/$name.log" || { status=1; tail -40 "$build/$name.log"; }
  grep -E 'stat::number_of_executed_units|Done' "$build/$name.log" | tail -2 || true
done
exit $status
