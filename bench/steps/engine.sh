#!/usr/bin/env bash
# The engine's analysis half (scan + compare + plan, through scan-bench) against a minimal walker
# (the one-thread syscall floor), find and an rsync dry run, on the same warm generated trees.
# Prints the medians, the ratios against the targets, the same ratio on one core (taskset -c 0),
# the memory per scanned file (also for a first mirror into an empty folder), the growth from
# 100,000 to 400,000 files per side, and whether the scan on several threads gives exactly the
# tables of the scan on one.
#
#   bash bench/steps/engine.sh BUILD_DIR
#
# Trees are generated once into BUILD_DIR/trees and reused; the large growth trees are deleted
# after use. Knobs: BENCH_REPS (runs per program, default 5), BENCH_FILES (files per side,
# default 100000), BENCH_GROWTH=0 to skip the growth run.
set -euo pipefail
export LC_ALL=C

build=${1:?usage: engine.sh BUILD_DIR}
tools=$build/bench
reps=${BENCH_REPS:-5}
files=${BENCH_FILES:-100000}
big_files=$((files * 4))
seed=20240101
tmp=$(mktemp -d)
big_dir=""
cleanup() {
  rm -rf "$tmp"
  [ -z "$big_dir" ] || rm -rf "$big_dir"
}
trap cleanup EXIT

for t in gen-tree walk; do
  [ -x "$tools/$t" ] || { echo "engine: $tools/$t is not built" >&2; exit 1; }
done
have_scan=1
[ -x "$tools/scan-bench" ] || { have_scan=0; echo "scan-bench: not built, skipped"; }
have_rsync=1
command -v rsync >/dev/null || {
  have_rsync=0
  echo "rsync: not installed, skipped (scripts/install-deps.sh bench installs it)"
}

# A tree without its manifest is a generation that did not finish: build it again.
make_trees() {
  local dir=$1 n=$2
  [ -f "$dir/manifest.txt" ] && return 0
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  echo "generating $n files per side into $dir"
  "$tools/gen-tree" --seed "$seed" --files "$n" "$dir" >/dev/null
}

# Runs a program once with its output in $tmp/NAME.out and appends its wall time (seconds)
# to $tmp/NAME.times.
timed() {
  local name=$1
  shift
  local t0 t1
  t0=$(date +%s%N)
  if ! "$@" >"$tmp/$name.out" 2>&1; then
    echo "engine: $name failed:" >&2
    tail -5 "$tmp/$name.out" >&2
    return 1
  fi
  t1=$(date +%s%N)
  echo "$(((t1 - t0) / 1000)) 1000000" | awk '{printf "%.6f\n", $1 / $2}' >>"$tmp/$name.times"
}

median() {
  sort -g "$1" | awk '{v[NR] = $1} END {
    if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2];
    else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# ratio A B: A / B with two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# verdict VALUE LIMIT: "ok" when VALUE <= LIMIT.
verdict() { awk -v v="$1" -v l="$2" 'BEGIN { print (v <= l ? "ok" : "MISSED") }'; }

manifest() { awk -v k="$2" '$1 == k { print $2 }' "$1/manifest.txt"; }
scan_class() { awk -v c="$2" '$1 == "class" && $2 == c { print $3 }' "$1"; }
scan_result() { sed -n "s/^result:.* $2=\([^ ]*\).*/\1/p" "$1"; }

# The class counts of a mirror run must be what the generator built; a bench of wrong results
# is worthless.
check_counts() {
  local dir=$1 out=$2 bad=""
  local -a want=(1 left_only_files 2 right_only_files 3 left_newer_files 4 right_newer_files
    5 equal_files)
  for ((i = 0; i < ${#want[@]}; i += 2)); do
    local got expected
    got=$(scan_class "$out" "${want[i]}")
    expected=$(manifest "$dir" "${want[i + 1]}")
    [ "$got" = "$expected" ] || bad+=" class ${want[i]}: $got, expected $expected;"
  done
  [ "$(scan_class "$out" 6)" = 0 ] || bad+=" class 6: $(scan_class "$out" 6), expected 0;"
  if [ -n "$bad" ]; then
    echo "counts: MISMATCH with the generated trees:$bad"
    return 1
  fi
  echo "counts: every file class matches the generated trees"
}

# Runs every program REPS times, interleaved so that noise from other work hits all of them.
run_round() {
  local dir=$1 prefix=$2 with_peers=$3
  local left=$dir/left right=$dir/right
  rm -f "$tmp/$prefix".*.times
  "$tools/walk" "$left" "$right" >/dev/null  # warm the caches
  find "$left" "$right" -printf '%s %T@ %p\n' >/dev/null
  for ((r = 0; r < reps; r++)); do
    [ $have_scan = 0 ] || timed "$prefix.scan" "$tools/scan-bench" --method mirror-lr "$left" "$right"
    timed "$prefix.walk" "$tools/walk" "$left" "$right"
    if [ "$with_peers" = 1 ] && [ $have_scan = 1 ]; then
      timed "$prefix.scan1" taskset -c 0 "$tools/scan-bench" --method mirror-lr "$left" "$right"
      timed "$prefix.walk1" taskset -c 0 "$tools/walk" "$left" "$right"
    fi
    timed "$prefix.find" find "$left" "$right" -printf '%s %T@ %p\n'
    [ "$with_peers" = 1 ] && [ $have_rsync = 1 ] || continue
    timed "$prefix.rsync" rsync -a -n --delete "$left/" "$right/"
  done
}

trees=$build/trees/$files
make_trees "$trees" "$files"
run_round "$trees" base 1

echo "engine: $files files per side, $(manifest "$trees" left_folders) folders per side;" \
  "median of $reps interleaved runs on warm trees (a shared machine: expect noise)"
walk_t=$(median "$tmp/base.walk.times")
find_t=$(median "$tmp/base.find.times")
printf '  %-36s %8.3f s\n' "walk (one-thread syscall floor)" "$walk_t" \
  "find LEFT RIGHT -printf" "$find_t"
status=0
if [ $have_rsync = 1 ]; then
  rsync_t=$(median "$tmp/base.rsync.times")
  printf '  %-36s %8.3f s\n' "rsync -a -n --delete" "$rsync_t"
fi
if [ $have_scan = 1 ]; then
  scan_t=$(median "$tmp/base.scan.times")
  grep '^result:' "$tmp/base.scan.out" | sed 's/^result:/  scan-bench last run:/'
  printf '  %-36s %8.3f s\n' "scan-bench (scan + compare + plan)" "$scan_t"
fi
echo "ratios:"
echo "  walk/find       $(ratio "$walk_t" "$find_t")"
[ $have_rsync = 0 ] || echo "  rsync/find      $(ratio "$rsync_t" "$find_t")"
if [ $have_scan = 1 ]; then
  r_find=$(ratio "$scan_t" "$find_t")
  r_walk=$(ratio "$scan_t" "$walk_t")
  echo "  scan-bench/find $r_find (target <= 0.5: $(verdict "$r_find" 0.5))"
  echo "  scan-bench/walk $r_walk (target < 0.8: $(verdict "$r_walk" 0.799))"
  [ $have_rsync = 0 ] || echo "  scan-bench/rsync $(ratio "$scan_t" "$rsync_t")"
  one_t=$(median "$tmp/base.scan1.times")
  r_one=$(ratio "$one_t" "$(median "$tmp/base.walk1.times")")
  echo "  on one core (taskset -c 0): scan-bench $one_t s, scan-bench/walk $r_one" \
    "(one thread before the parallel scan: 1.20; target <= 1.2: $(verdict "$r_one" 1.2))"
  per_file=$(scan_result "$tmp/base.scan.out" bytes_per_file)
  echo "memory: $per_file bytes per scanned file over the program's baseline" \
    "(target < 100: $(verdict "$per_file" 99.99))"
  mkdir -p "$tmp/empty"
  "$tools/scan-bench" --method mirror-lr "$trees/left" "$tmp/empty" >"$tmp/first.out"
  first=$(scan_result "$tmp/first.out" bytes_per_file)
  echo "memory of a first mirror into an empty folder: $first bytes per scanned file" \
    "(target < 100: $(verdict "$first" 99.99))"
  check_counts "$trees" "$tmp/base.scan.out" || status=1
  "$tools/scan-bench" --check-threads "$trees/left" "$trees/right" | grep '^threads:' ||
    status=1
fi

if [ "${BENCH_GROWTH:-1}" = 0 ] || [ $have_scan = 0 ]; then
  echo "growth: skipped"
  exit $status
fi
# About 6 KiB of disk per generated file; ask for twice that.
need_kib=$((big_files * 2 * 12))
free_kib=$(df -Pk "$build" | awk 'NR == 2 { print $4 }')
if [ "$free_kib" -lt "$need_kib" ]; then
  echo "growth: skipped, needs about $((need_kib / 1048576)) GiB free in $build"
  exit $status
fi
big_dir=$build/trees/$big_files
make_trees "$big_dir" "$big_files"
run_round "$big_dir" big 0
big_scan_t=$(median "$tmp/big.scan.times")
big_find_t=$(median "$tmp/big.find.times")
big_walk_t=$(median "$tmp/big.walk.times")
check_counts "$big_dir" "$tmp/big.scan.out" || status=1
echo "growth from $files to $big_files files per side (median of $reps):"
printf '  %-36s %8.3f s -> %8.3f s  x%s\n' "scan-bench" "$scan_t" "$big_scan_t" \
  "$(ratio "$big_scan_t" "$scan_t")" "walk" "$walk_t" "$big_walk_t" \
  "$(ratio "$big_walk_t" "$walk_t")" "find" "$find_t" "$big_find_t" \
  "$(ratio "$big_find_t" "$find_t")"
awk -v a="$files" -v b="$big_files" 'BEGIN {
  printf "  n log n expects x%.2f, linear x%.2f\n", b * log(2 * b) / (a * log(2 * a)), b / a }'
growth=$(ratio "$big_scan_t" "$scan_t")
echo "  scan-bench growth x$growth (target <= 4.5: $(verdict "$growth" 4.5))"
echo "  memory at $big_files: $(scan_result "$tmp/big.scan.out" bytes_per_file) bytes per scanned file"
rm -rf "$big_dir"
big_dir=""
exit $status
