#!/usr/bin/env bash
# Installs every Debian package that building, running and testing WinVELMAR needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
PACKAGES=(
  build-essential cmake ninja-build g++ clang clang-format ccache pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libeigen3-dev nlohmann-json3-dev libcli11-dev libqpdf-dev libboost-stacktrace-dev binutils
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-documentation-tools
  libqt6help6 libqt6sql6-sqlite libqt6printsupport6 libgl-dev libxkbcommon-dev
  qt6-qpa-plugins qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  xvfb xauth x11-utils xdotool openbox imagemagick poppler-utils xdg-utils fonts-dejavu-core
  python3 help2man man-db desktop-file-utils appstream lintian file dpkg-dev
)
stamp=/var/tmp/winvelmar-setup.stamp
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "${PACKAGES[*]}" ] && dpkg -s "${PACKAGES[@]}" >/dev/null 2>&1; then
  exit 0
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${PACKAGES[@]}"
echo "${PACKAGES[*]}" | $SUDO tee "$stamp" >/dev/null || true
