#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (and any named as arguments), skipping those
# already present.
set -euo pipefail
packages=(build-essential cmake pkg-config zlib1g-dev libgtest-dev qt6-base-dev libpugixml-dev libsquish-dev
  xvfb xauth imagemagick python3 fonts-dejavu-core "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
