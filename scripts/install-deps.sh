#!/usr/bin/env bash
# Installs the Debian 12 packages TARVEN needs to build, test and show itself.
# Runs apt-get when root; otherwise prints the command to run.
set -euo pipefail

packages=(
  build-essential cmake
  qt6-base-dev libqt6charts6-dev libqt6sql6-sqlite libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  python3-pydicom python3-numpy dcmtk
  xvfb xauth xdotool imagemagick
  fonts-noto-cjk
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "TARVEN needs these Debian packages: ${missing[*]}" >&2
  echo "Install them with:  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
