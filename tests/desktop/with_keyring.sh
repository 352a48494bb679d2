#!/bin/sh
# with_keyring.sh COMMAND...: runs COMMAND on a private session bus of its own with a GNOME
# Keyring of its own, unlocked, in a throw-away home. ORVA_KEYRING_SESSION tells the tests they
# run there. Exit 77 (skipped) where no keyring daemon is installed.
command -v gnome-keyring-daemon >/dev/null 2>&1 || { echo "gnome-keyring is not installed"; exit 77; }
command -v dbus-run-session >/dev/null 2>&1 || { echo "dbus-run-session is not installed"; exit 77; }
home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run" || exit 1
HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/run" \
  ORVA_KEYRING_SESSION=1 dbus-run-session -- sh -c '
    printf "prova" | gnome-keyring-daemon --unlock --components=secrets >/dev/null || exit 1
    "$@"' sh "$@"
