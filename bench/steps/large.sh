#!/usr/bin/env bash
# A million files per side: find, an rsync dry run, twn-cli compare, scan-bench and a full
# twn-cli mirror on the same warm sparse trees. Prints medians with peak memory, the ratios to
# find and the scan's memory per file.
#
#   BENCH_LARGE=1 bash bench/steps/large.sh BUILD_DIR
#
# Knobs: BENCH_LARGE=1 to run at all (it needs minutes and about 3.5 million inodes),
# BENCH_LARGE_FILES (files per side, default 1000000), BENCH_REPS (runs per program, default 3),
# BENCH_KEEP=1 to keep the trees in BUILD_DIR/trees for the next run.
set -euo pipefail
export LC_ALL=C

if [ "${BENCH_LARGE:-0}" != 1 ]; then
  echo "large: skipped (BENCH_LARGE=1 runs it)"
  exit 0
fi
build=${1:?usage: large.sh BUILD_DIR}
tools=$build/bench
cli=$build/twn-cli
files=${BENCH_LARGE_FILES:-1000000}
reps=${BENCH_REPS:-3}
trees=$build/trees/sparse-$files
L=$trees/left
R=$trees/right
tmp=$(mktemp -d)
work=$tmp/right
cfg=$tmp/settings
cleanup() {
  rm -rf "$tmp"
  [ "${BENCH_KEEP:-0}" = 1 ] || rm -rf "$trees"
}
trap cleanup EXIT

for t in "$tools/gen-tree" "$tools/scan-bench" "$cli"; do
  [ -x "$t" ] || { echo "large: $t is not built" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "large: /usr/bin/time is missing (install-deps.sh bench)" >&2; exit 1; }
command -v rsync >/dev/null || { echo "large: rsync is missing (install-deps.sh bench)" >&2; exit 1; }

# Three trees of files + files/20 folders (left, right, the mirror's copy), every file an inode;
# sparse files take no data blocks, folders and the mirror's real copies about 1 KiB per file.
need_inodes=$((files * 33 / 10))
need_kib=$((files * 3))
[ -f "$trees/manifest.txt" ] && need_inodes=$((files * 12 / 10)) && need_kib=$files
mkdir -p "$build/trees"
free_inodes=$(df -Pi "$build/trees" | awk 'NR == 2 { print $4 }')
free_kib=$(df -Pk "$build/trees" | awk 'NR == 2 { print $4 }')
if [ "$free_inodes" -lt "$need_inodes" ] || [ "$free_kib" -lt "$need_kib" ]; then
  echo "large: skipped, needs $need_inodes free inodes and $((need_kib / 1024)) MiB in" \
    "$build/trees (has $free_inodes and $((free_kib / 1024)) MiB)"
  exit 0
fi
if [ ! -f "$trees/manifest.txt" ]; then
  rm -rf "$trees"
  echo "large: generating $files sparse files per side into $trees"
  "$tools/gen-tree" --sparse --seed 20240101 --files "$files" "$trees" >/dev/null
fi

# timed NAME CMD...: appends "seconds peak_kib" of one run to $tmp/NAME.times; its output
# goes to $tmp/NAME.out. A failing run stops the benchmark.
timed() {
  local name=$1
  shift
  if ! /usr/bin/time -f '%e %M' -o "$tmp/time.one" "$@" >"$tmp/$name.out" 2>&1; then
    echo "large: $name failed:" >&2
    tail -5 "$tmp/$name.out" >&2
    exit 1
  fi
  cat "$tmp/time.one" >>"$tmp/$name.times"
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
col() { awk -v c="$2" '{print $c}' "$tmp/$1.times" | median; }
manifest() { awk -v k="$1" '$1 == k { print $2 }' "$trees/manifest.txt"; }
scan_class() { awk -v c="$1" '$1 == "class" && $2 == c { print $3 }' "$tmp/scan.out"; }

# The class counts must be what the generator built; a benchmark of wrong results is worthless.
check_counts() {
  local bad="" i got expected
  local -a want=(1 left_only_files 2 right_only_files 3 left_newer_files 4 right_newer_files
    5 equal_files)
  for ((i = 0; i < ${#want[@]}; i += 2)); do
    got=$(scan_class "${want[i]}")
    expected=$(manifest "${want[i + 1]}")
    [ "$got" = "$expected" ] || bad+=" class ${want[i]}: $got, expected $expected;"
  done
  [ "$(scan_class 6)" = 0 ] || bad+=" class 6: $(scan_class 6), expected 0;"
  if [ -n "$bad" ]; then
    echo "counts: MISMATCH with the generated trees:$bad"
    return 1
  fi
  echo "counts: every file class matches the generated trees"
}

fresh_right() {
  rm -rf "$work"
  cp -a --sparse=always "$R" "$work"
  sync
}

fresh_right
"$cli" --settings "$cfg" add Compare --left "$L" --right "$R" --method mirror-lr >/dev/null
"$cli" --settings "$cfg" add Mirror --left "$L" --right "$work" --method mirror-lr >/dev/null
find "$L" "$R" -printf '%s %T@ %p\n' >/dev/null # warm both trees
for ((r = 1; r <= reps; r++)); do
  fresh_right
  timed find find "$L" "$R" -printf '%s %T@ %p\n'
  timed rsync rsync -a -n --delete "$L/" "$R/"
  timed compare "$cli" --settings "$cfg" compare Compare
  timed scan "$tools/scan-bench" --method mirror-lr "$L" "$R"
  timed mirror "$cli" --settings "$cfg" run Mirror
  rm -rf "$cfg/Logs" # logs grow with every run; each round starts alike
done

echo "large: $files files per side in $(manifest left_folders) folders (sparse);" \
  "median of $reps interleaved runs on warm trees (a shared machine: expect noise)"
find_t=$(col find 1)
printf '  %-34s %9s %10s %9s\n' step time "peak MiB" "/ find"
row() {
  local t
  t=$(col "$1" 1)
  printf '  %-34s %8.2fs %10.1f %9.2f\n' "$2" "$t" "$(col "$1" 2 | awk '{print $1 / 1024}')" \
    "$(awk -v a="$t" -v b="$find_t" 'BEGIN {print (b > 0) ? a / b : 0}')"
}
row find "find LEFT RIGHT -printf"
row rsync "rsync -a -n --delete"
row compare "twn-cli compare"
row scan "scan-bench (scan + compare + plan)"
row mirror "twn-cli run (full mirror)"
per_file=$(sed -n 's/^result:.* bytes_per_file=\([^ ]*\).*/\1/p' "$tmp/scan.out")
echo "memory: $per_file bytes per scanned file (target < 100:" \
  "$(awk -v v="$per_file" 'BEGIN { print (v < 100 ? "ok" : "MISSED") }'))"
status=0
check_counts || status=1
# Whatever rsync would still change after the last mirror, folder times aside.
left_over=$(rsync -a -n --delete -i "$L/" "$work/" | grep -vc '^\.d' || true)
if [ "$left_over" = 0 ]; then
  echo "mirror: the copy matches the left tree"
else
  echo "mirror: $left_over entries still differ from the left tree"
  status=1
fi
exit $status
