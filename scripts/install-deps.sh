#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 or 13 packages Kelmora needs to build and run it; with --test, also
# those its tests need. Does nothing when every package is already present.
# Usage: scripts/install-deps.sh [--test]
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config libxcb1-dev qt6-base-dev qt6-base-dev-tools libgl-dev libgif-dev
  # which form of the AppStream data this release's tools know
  appstream
  # fonts the pictures are drawn with and the windows' font
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
  # Qt's own Czech catalogue (file dialog, message boxes)
  qt6-translations-l10n
  # native Wayland
  qt6-wayland
)
case ${1:-} in
  "") ;;
  --test)
    packages+=(
      # fuzzing and sanitizers
      clang libclang-rt-dev
      # end-to-end test in a real window through the accessibility bus
      xvfb xauth dbus dbus-x11 at-spi2-core python3 python3-pyatspi imagemagick x11-utils
      # a window manager that draws frames, for the end-to-end test
      openbox
      # a headless compositor with XWayland, for the wayland tests
      weston xwayland
      # desktop metadata checks and benchmarks
      desktop-file-utils valgrind
      # the package's check: dpkg-buildpackage with debhelper, blhc for the hardening flags,
      # lintian (which reads the manual pages with man), git for the tree's files, the MIME database
      build-essential dpkg-dev file debhelper blhc lintian man-db git shared-mime-info
    )
    ;;
  *)
    echo "usage: $0 [--test]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
