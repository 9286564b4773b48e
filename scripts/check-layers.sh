#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer. Layers, bottom to top:
# platform, filters, model, engine, run, then app/windows/browse/help, then cli and gui.
set -euo pipefail
cd "$(dirname "$0")/../src"
rank() {
  case "$1" in
    platform) echo 0 ;; filters) echo 1 ;; model) echo 2 ;; engine) echo 3 ;; run) echo 4 ;;
    app | windows | browse | help) echo 5 ;; cli | gui) echo 6 ;; *) echo -1 ;;
  esac
}
bad=0
while IFS=: read -r file _ line; do
  from=${file%%/*}
  to=$(sed -E 's/^#include "([a-z_]+)\/.*/\1/' <<<"$line")
  [[ $to == "$line" ]] && continue
  rf=$(rank "$from") rt=$(rank "$to")
  # cli and gui are two front ends: neither uses the other.
  if ((rt > rf)) || { ((rt == 6)) && [[ $to != "$from" ]]; }; then
    echo "layer check: src/$file includes $to/ (above $from/): $line" >&2
    bad=1
  fi
done < <(grep -rn '^#include "' --include='*.h' --include='*.cpp' .  | sed 's|^\./||')
exit $bad
