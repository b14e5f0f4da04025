#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command with a desktop keyring of its own: a private D-Bus session with gnome-keyring's
# Secret Service, unlocked with a throwaway password, in a throwaway home folder.
# Exits 77 (skipped) where the tools are missing.
command -v dbus-run-session >/dev/null && command -v gnome-keyring-daemon >/dev/null || exit 77
home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
HOME=$home XDG_DATA_HOME=$home/.local/share XDG_RUNTIME_DIR=$home dbus-run-session -- sh -c '
    printf "throwaway" | gnome-keyring-daemon --unlock --components=secrets >/dev/null || exit 77
    exec "$@"' sh "$@"
