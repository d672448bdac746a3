#!/usr/bin/env bash
# Installs the Debian packages Torvane needs to build, test and run. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  liballegro4-dev libalut-dev libopenal-dev libenet-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xdotool x11-utils x11-apps imagemagick sox
  lintian desktop-file-utils dpkg-dev file
)

missing=()
for package in "${packages[@]}"; do
  [ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
