#!/usr/bin/env bash
# A mirror job's copy against `cp -a` of the same data: in one process (1 GiB as 1 MiB files and
# as one file, warm cache), then as whole processes (`twn-cli run` of a mirror job against
# `cp -a`, one 1 GiB file of random data onto an empty folder, page cache flushed before each).
#
#   bash bench/steps/copy.sh BUILD_DIR
#
# Knobs: BENCH_COPY_REPS (in-process copies per program and data set, default 3; 0 skips them),
# BENCH_WHOLE_REPS (whole-process runs per program, default 7), BENCH_WHOLE_MIB (size of the
# one file, default 1024).
set -euo pipefail
export LC_ALL=C
build=${1:?usage: copy.sh BUILD_DIR}
tool=$build/bench/copy-bench
cli=$build/twn-cli
[ -x "$tool" ] || { echo "copy: $tool is not built" >&2; exit 1; }
[ -x "$cli" ] || { echo "copy: $cli is not built" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "copy: /usr/bin/time is missing (install-deps.sh bench)" >&2; exit 1; }
in_process=${BENCH_COPY_REPS:-3}
[ "$in_process" = 0 ] || "$tool" "$build/copy-work" "$in_process"

reps=${BENCH_WHOLE_REPS:-7}
mib=${BENCH_WHOLE_MIB:-1024}
work=$build/copy-whole
trap 'rm -rf "$work"' EXIT
rm -rf "$work"
mkdir -p "$work/source" "$work/target"
head -c "$((mib * 1048576))" /dev/urandom >"$work/source/one.bin"
"$cli" --settings "$work/settings" add Copy --left "$work/source" --right "$work/target" \
  --method mirror-lr >/dev/null

flushed=1
flush() {
  sync
  [ $flushed = 1 ] || return 0
  if ! { echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null; then
    flushed=0
    echo "copy: cache not flushed (/proc/sys/vm/drop_caches is not writable); runs read warm data"
  fi
}

# timed NAME CMD...: appends the wall seconds of one run onto an empty target to $work/NAME, its
# CPU seconds (user + system) to $work/NAME.cpu.
timed() {
  local name=$1 t0 t1
  shift
  rm -rf "$work/target"/* "$work/settings/Logs"
  flush
  t0=$(date +%s%N)
  if ! /usr/bin/time -f '%U %S' -o "$work/cpu.one" "$@" >"$work/$name.out" 2>&1; then
    echo "copy: $name failed:" >&2
    tail -5 "$work/$name.out" >&2
    exit 1
  fi
  t1=$(date +%s%N)
  cmp -s "$work/source/one.bin" "$work/target/one.bin" ||
    { echo "copy: $name made a wrong copy" >&2; exit 1; }
  echo "$t0 $t1" | awk '{printf "%.3f\n", ($2 - $1) / 1e9}' >>"$work/$name"
  awk '{printf "%.2f\n", $1 + $2}' "$work/cpu.one" >>"$work/$name.cpu"
}
# median [FILE]: of the numbers in FILE, else on the input.
median() { sort -g "$@" | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

# Untimed: the first read of the fresh file after a flush is slower than any later one (the
# machine's disk below this system still settles), and it would fall on whoever goes first.
timed warm cp -a "$work/source/one.bin" "$work/target/"
for ((r = 0; r < reps; r++)); do # alternate who goes first
  if ((r % 2 == 0)); then
    timed twn "$cli" --settings "$work/settings" run Copy
    timed cp cp -a "$work/source/one.bin" "$work/target/"
  else
    timed cp cp -a "$work/source/one.bin" "$work/target/"
    timed twn "$cli" --settings "$work/settings" run Copy
  fi
done
twn_t=$(median "$work/twn")
cp_t=$(median "$work/cp")
echo "whole processes: one $mib MiB file of random data onto an empty folder, page cache" \
  "$([ $flushed = 1 ] && echo flushed || echo "not flushed") before each run, median of $reps"
awk -v t="$twn_t" -v c="$cp_t" -v m="$mib" 'BEGIN {
  printf "  twn-cli run (mirror job) %7.3f s  %7.1f MiB/s\n", t, m / t
  printf "  cp -a                    %7.3f s  %7.1f MiB/s\n", c, m / c
  r = t / c
  printf "  ratio twn-cli / cp -a %.3f (target <= 1.05: %s)\n", r, (r <= 1.05 ? "ok" : "MISSED") }'
# Each round runs both back to back, so a round's ratio sees much the same load on both.
echo "  median of the rounds' ratios $(paste "$work/twn" "$work/cp" | awk '{print $1 / $2}' | median | xargs printf '%.3f')"
# CPU time suffers less from the other work on a shared machine than wall time does.
awk -v t="$(median "$work/twn.cpu")" -v c="$(median "$work/cp.cpu")" 'BEGIN {
  printf "  cpu (user + system): twn-cli %.2f s, cp -a %.2f s, ratio %.2f\n", t, c, (c > 0 ? t / c : 0) }'
echo "  runs (s): twn-cli $(tr '\n' ' ' <"$work/twn")| cp -a $(tr '\n' ' ' <"$work/cp")"
