#!/usr/bin/env bash
# The demo: a sample job over fresh sample folders, shown, compared and run with twn-cli.
# Everything lives under the build folder; nothing is written to the user's home.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
cli="$build/twn-cli"
demo="$(cd "$build" && pwd)/demo"
settings="$demo/settings"

if [ -t 1 ]; then bold=$'\033[1m' plain=$'\033[0m'; else bold='' plain=''; fi
step() { printf '\n%s$ %s%s\n' "$bold" "$*" "$plain"; }

rm -rf "$settings"
bash "$here/make-sample-trees.sh" "$demo"

step twn-cli add Demo --left "$demo/left" --right "$demo/right" --method update \
  --exclude '*.tmp' --exclude-folder cache
"$cli" --settings "$settings" add Demo --left "$demo/left" --right "$demo/right" \
  --method update --exclude '*.tmp' --exclude-folder cache

step twn-cli show Demo
"$cli" --settings "$settings" show Demo

step twn-cli compare Demo
"$cli" --settings "$settings" compare Demo >"$demo/compare.txt"
sed -n '/\*\*\* Plan preview \*\*\*/q;p' "$demo/compare.txt"
echo "(the plan preview, $(sed -n '/\*\*\* Plan preview \*\*\*/,$p' "$demo/compare.txt" | wc -l) lines, is in $demo/compare.txt)"

step twn-cli run Demo
status=0
"$cli" --settings "$settings" run Demo || status=$?

step twn-cli list
"$cli" --settings "$settings" list

echo
echo "The run ended with exit status $status. Its log files are in $settings/Logs:"
ls -1 "$settings/Logs"
echo "Run 'make demo' again to start over from fresh sample folders."
exit $status
