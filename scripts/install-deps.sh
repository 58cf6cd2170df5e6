#!/usr/bin/env bash
# Installs what building and testing DOCVANE needs on a Debian machine.
set -euo pipefail
packages=(cmake g++ make libgtest-dev tzdata)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ] || [ "${DOCVANE_FORCE_APT:-0}" = 1 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  $SUDO apt-get install -y "${packages[@]}"
fi
