#!/usr/bin/env bash
# The windowed program with many jobs: time from start until the main window has been shown,
# and the memory it holds at rest. Targets: 1,000 jobs shown within 0.5 s, under 60 MB.
# Usage: bench/gui/gui_start.sh BUILD [JOBS]   (needs a build with the window, e.g. build/)
set -euo pipefail
build=${1:-build}
jobs=${2:-1000}
twn=$build/twn
cli=$build/twn-cli
[ -x "$twn" ] || { echo "gui_start: no $twn (build with the window first: make build)"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/L" "$work/R"
"$cli" --settings "$work/s" add "Job 1" --left "$work/L" --right "$work/R" >/dev/null
# Copies of the one job's section, numbered and named apart.
python3 - "$work/s/TWN.ini" "$jobs" <<'PY'
import sys
path, n = sys.argv[1], int(sys.argv[2])
text = open(path, encoding="latin-1").read()
head, job = text.split("[Job_1]\n", 1)
head = head.replace("JobCount=1", f"JobCount={n}")
out = [head]
for i in range(1, n + 1):
    out.append(f"[Job_{i}]\n" + job.replace("JobName=Job 1", f"JobName=Job {i}"))
open(path, "w", encoding="latin-1").write("".join(out))
PY
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} TWN_TEST_HOOKS=1
python3 - "$twn" "$work/s" "$jobs" <<'PY'
import os, signal, subprocess, sys, time
twn, folder, jobs = sys.argv[1], sys.argv[2], sys.argv[3]
start = time.monotonic()
p = subprocess.Popen([twn, "--settings", folder], stdout=subprocess.PIPE,
                     stderr=subprocess.DEVNULL, text=True)
for line in p.stdout:
    if line.strip() == "shown":
        break
shown = time.monotonic() - start
time.sleep(3)  # at rest: the timer ticking, nothing running
rss = 0
for line in open(f"/proc/{p.pid}/status"):
    if line.startswith("VmRSS:"):
        rss = int(line.split()[1]) / 1024
p.send_signal(signal.SIGTERM)
p.wait(timeout=30)
print(f"twn with {jobs} jobs: shown after {shown * 1000:.0f} ms (target 500), "
      f"{rss:.1f} MB resident at rest (target 60), exit {p.returncode}")
PY
