#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need.
# Runs apt-get only when something is missing, so repeated runs cost nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  qt6-base-dev libcli11-dev libusb-1.0-0-dev libudev-dev
  libcups2-dev libieee1284-3-dev
  umockdev libumockdev-dev gir1.2-umockdev-1.0
  clang libclang-rt-14-dev
  xvfb xauth imagemagick
  # The package: udev's folder for the rules (pkg-config udev), dpkg-shlibdeps, and the checks
  # of the manual pages and the menu entry.
  udev dpkg-dev man-db desktop-file-utils
  # the Japanese texts and the full-width characters of the messages need a font that has them
  fonts-vlgothic
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
