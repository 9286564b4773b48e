#!/usr/bin/env bash
# Whole runs of twn-cli against rsync on the same warm generated trees: compare only, a full
# mirror onto a fresh copy of the right tree, and a rerun with nothing to do. Prints medians,
# ratios and peak memory.
#
#   bash bench/steps/runs.sh BUILD_DIR
#
# Knobs: BENCH_REPS (runs per program, default 5), BENCH_FILES (files per side, default 100000).
set -euo pipefail
export LC_ALL=C

build=${1:?usage: runs.sh BUILD_DIR}
cli=$build/twn-cli
reps=${BENCH_REPS:-5}
files=${BENCH_FILES:-100000}
trees=$build/trees/$files
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

[ -x "$cli" ] || { echo "runs: $cli is not built" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "runs: /usr/bin/time is missing (install-deps.sh bench)" >&2; exit 1; }
have_rsync=1
command -v rsync >/dev/null || { have_rsync=0; echo "rsync: not installed, skipped"; }
if [ ! -f "$trees/manifest.txt" ]; then
  rm -rf "$trees"
  mkdir -p "$(dirname "$trees")"
  echo "generating $files files per side into $trees"
  "$build/bench/gen-tree" --seed 20240101 --files "$files" "$trees" >/dev/null
fi
L=$trees/left
work=$tmp/right
cfg=$tmp/settings

# timed NAME CMD...: appends "seconds peak_kib" of one run to $tmp/NAME; a failing run stops
# the benchmark (exit status 1 of a twn-cli run with errors counts as a failure too).
timed() {
  local name=$1
  shift
  if ! /usr/bin/time -f '%e %M' -o "$tmp/time.one" "$@" >"$tmp/$name.out" 2>&1; then
    echo "runs: $name failed:" >&2
    tail -5 "$tmp/$name.out" >&2
    exit 1
  fi
  cat "$tmp/time.one" >>"$tmp/$name"
}

fresh_right() {
  rm -rf "$work"
  cp -a "$trees/right" "$work"
  sync
}

median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
col() { awk -v c="$2" '{print $c}' "$tmp/$1" | median; }

fresh_right
"$cli" --settings "$cfg" add Bench --left "$L" --right "$work" --method mirror-lr >/dev/null
for ((r = 1; r <= reps; r++)); do
  fresh_right
  find "$L" "$work" -printf '' # warm both trees
  timed twn.compare "$cli" --settings "$cfg" compare Bench
  [ $have_rsync = 1 ] && timed rsync.compare rsync -a -n --delete "$L/" "$work/"
  timed twn.mirror "$cli" --settings "$cfg" run Bench
  timed twn.rerun "$cli" --settings "$cfg" run Bench
  if [ $have_rsync = 1 ]; then
    fresh_right
    timed rsync.mirror rsync -a --delete "$L/" "$work/"
    timed rsync.rerun rsync -a --delete "$L/" "$work/"
  fi
  rm -rf "$cfg/Logs"  # logs grow with every run; each round starts alike
done

echo "runs: $files files per side; median of $reps runs on warm trees (a shared 2-core machine)"
printf '%-10s %12s %12s %8s %14s %14s\n' step twn-cli rsync ratio "twn peak MiB" "rsync peak MiB"
for step in compare mirror rerun; do
  t=$(col "twn.$step" 1)
  m=$(col "twn.$step" 2)
  if [ $have_rsync = 1 ]; then
    rt=$(col "rsync.$step" 1)
    rm_=$(col "rsync.$step" 2)
    printf '%-10s %11.2fs %11.2fs %8.2f %14.1f %14.1f\n' "$step" "$t" "$rt" \
      "$(awk -v a="$t" -v b="$rt" 'BEGIN {print (b > 0) ? a / b : 0}')" \
      "$(awk -v k="$m" 'BEGIN {print k / 1024}')" "$(awk -v k="$rm_" 'BEGIN {print k / 1024}')"
  else
    printf '%-10s %11.2fs %12s %8s %14.1f\n' "$step" "$t" - - "$(awk -v k="$m" 'BEGIN {print k / 1024}')"
  fi
done
echo "(ratio = twn-cli time / rsync time; below 1 is faster than rsync)"
