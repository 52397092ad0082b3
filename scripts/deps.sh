#!/usr/bin/env bash
# Installs the Debian packages that building and testing Thalwise need, only those missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libgif-dev libnetcdf-dev zlib1g-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core
  gpsbabel poppler-utils gdal-bin python3-gdal libxml2-utils
  libtiff-dev libgeotiff-dev libzip-dev libqt6sql6-sqlite
  qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools
  xvfb xauth xdotool imagemagick
  desktop-file-utils appstream lintian dpkg-dev fakeroot file
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
