#!/usr/bin/env bash
# A mirror job's copy against `cp -a` of the same data (1 GiB as 1 MiB files and as one file).
#
#   bash bench/steps/copy.sh BUILD_DIR
#
# Knob: BENCH_COPY_REPS (copies per program and data set, default 3).
set -euo pipefail
build=${1:?usage: copy.sh BUILD_DIR}
tool=$build/bench/copy-bench
[ -x "$tool" ] || { echo "copy: $tool is not built" >&2; exit 1; }
"$tool" "$build/copy-work" "${BENCH_COPY_REPS:-3}"
