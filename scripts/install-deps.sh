#!/usr/bin/env bash
# Installs the Debian packages Talvoria needs to build, run and test; only what is missing.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-webengine-dev libqt6opengl6-dev
  libcurl4-openssl-dev zlib1g-dev
  libgtest-dev libgmock-dev
  fonts-noto-cjk qt6-translations-l10n xvfb xauth
  dpkg-dev file man-db
  aria2
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
