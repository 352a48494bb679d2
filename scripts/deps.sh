#!/usr/bin/env bash
# Installs with apt-get whatever the build, the program and the tests need and is missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libssl-dev
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-multimedia-dev qt6-translations-l10n libgl-dev
  xvfb xauth poppler-utils iproute2 dovecot-pop3d chrony
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
