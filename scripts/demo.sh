#!/usr/bin/env bash
# The demo: shows what Twinward can do so far on bundled sample data.
set -euo pipefail
build=${1:-build}
cli="$build/twn-cli"
echo "Twinward demo: which names does the filter \"*.jpg; *.txt\" select, less \"*draft*\"?"
echo "\$ twn-cli match --include '*.jpg; *.txt' --exclude '*draft*' -- holiday.jpg notes.txt draft-notes.txt song.mp3"
"$cli" match --include '*.jpg; *.txt' --exclude '*draft*' -- holiday.jpg notes.txt draft-notes.txt song.mp3
