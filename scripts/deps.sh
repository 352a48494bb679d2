#!/usr/bin/env bash
# Installs with apt-get whatever the build, the program, the package and the tests need and is
# missing, on a minimal Debian 12 (apt installs without recommends here, so everything the
# build finds through CMake is named, Qt OpenGL's CMake files for Qt Charts among them).
set -euo pipefail
packages=(
  # compilers and build tools
  build-essential cmake ninja-build ccache clang libclang-rt-14-dev clang-format
  # libraries
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libssl-dev
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-multimedia-dev libgl-dev
  qt6-translations-l10n libxkbcommon-dev
  # the mailboxes' passwords in the desktop's keyring (libsecret is opened when it is used)
  qtkeychain-qt6-dev libsecret-1-0
  # the Debian package and its checks
  dpkg-dev file desktop-file-utils appstream
  # tests: a display with a window manager, PDF pages, network namespaces, real mail and time
  # servers
  xvfb xauth openbox poppler-utils iproute2 dovecot-pop3d chrony openssl
  # tests: where windows really are, read from the X server over a connection of their own
  libxcb1-dev
  # the program: the system's trusted certificates for mail over TLS
  ca-certificates
  # tests: a private system bus with mocked NetworkManager and ModemManager
  dbus dbus-daemon python3-dbusmock
  # tests: what a screen reader finds in the running program (the accessibility bus)
  at-spi2-core python3-pyatspi
  # tests: a real keyring on a private session bus
  gnome-keyring
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
