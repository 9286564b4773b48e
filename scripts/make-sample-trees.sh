#!/usr/bin/env bash
# Builds the demo's sample folders afresh: OUT/left and OUT/right, a few hundred small files in
# which every kind of difference occurs. Deterministic: the same trees every time.
# Usage: scripts/make-sample-trees.sh OUT
set -euo pipefail
out=${1:?usage: make-sample-trees.sh OUT}
L="$out/left"
R="$out/right"
rm -rf "$L" "$R"
mkdir -p "$L" "$R"

base=1768478400  # 2026-01-15 12:00 UTC
day=86400

# put SIDE REL CONTENT MTIME
put() {
  local f="$1/$2"
  mkdir -p "$(dirname "$f")"
  printf '%s\n' "$3" >"$f"
  touch -m -d "@$4" "$f"
}

# Equal on both sides.
for i in $(seq 1 120); do
  sub="docs/$(( i % 6 ))"
  put "$L" "$sub/report_$i.txt" "Quarterly report $i" $((base + i * 60))
  put "$R" "$sub/report_$i.txt" "Quarterly report $i" $((base + i * 60))
done
# Newer on the left, newer on the right.
for i in $(seq 1 30); do
  put "$L" "projects/alpha/src/module_$i.c" "int module_$i(void) { return $i + 1; }" $((base + day))
  put "$R" "projects/alpha/src/module_$i.c" "int module_$i(void) { return $i; }" $base
  put "$L" "projects/beta/notes_$i.md" "notes $i" $base
  put "$R" "projects/beta/notes_$i.md" "notes $i, revised on the laptop" $((base + 2 * day))
done
# Only on one side, some in folders that exist only on that side.
for i in $(seq 1 40); do
  put "$L" "photos/2025/trip/IMG_$((1000 + i)).jpg" "jpeg data $i" $((base - i * day))
  put "$R" "music/album_$(( i % 4 ))/track_$i.ogg" "ogg data $i" $((base - i * 3600))
done
# Same time stamp, different content and size.
for i in $(seq 1 10); do
  put "$L" "config/settings_$i.ini" "[main]
value=$i" $base
  put "$R" "config/settings_$i.ini" "[main]
value=$i
extra=yes" $base
done
# Within the tolerances: one second apart, and exactly one hour apart (daylight saving).
put "$L" "tolerance/one-second.txt" "same" $base
put "$R" "tolerance/one-second.txt" "same" $((base + 1))
put "$L" "tolerance/one-hour.txt" "same" $((base + 3600))
put "$R" "tolerance/one-hour.txt" "same" $base
# Left out by the demo job's filters.
for i in $(seq 1 5); do
  put "$L" "docs/scratch_$i.tmp" "temporary" $base
  put "$R" "cache/blob_$i" "cached" $base
done
# Empty folders on either side.
mkdir -p "$L/projects/gamma/empty" "$R/archive/2019/empty"

echo "sample trees: $(find "$L" -type f | wc -l) files left, $(find "$R" -type f | wc -l) files right in $out"
