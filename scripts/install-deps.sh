#!/usr/bin/env bash
# Installs the Debian packages a build needs, and only those that are missing.
# Usage: scripts/install-deps.sh [build|bench|fuzz|all]   (default: build)
set -euo pipefail

profile=${1:-build}
pkgs=(cmake ninja-build g++ make googletest libgtest-dev libgmock-dev tzdata locales rsync)
case "$profile" in
  # Qt for the windowed program; Qt6Gui's CMake config wants the OpenGL headers, and the
  # offscreen platform the tests use needs a font to lay text out.
  build) pkgs+=(qt6-base-dev libgl-dev fonts-dejavu-core) ;;
  bench) pkgs+=(libbenchmark-dev rsync time) ;;
  fuzz) pkgs+=(clang libclang-rt-dev) ;;
  all) pkgs+=(qt6-base-dev libgl-dev fonts-dejavu-core libbenchmark-dev rsync time clang libclang-rt-dev) ;;
  *) echo "install-deps: unknown profile '$profile' (build, bench, fuzz, all)" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
