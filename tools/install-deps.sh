#!/bin/sh
# Installs the Debian packages the player and its tests need, only those that
# are missing; through sudo when not run as root.
set -e
PACKAGES="g++ cmake make pkg-config qt6-base-dev qt6-multimedia-dev \
  libdvdnav-dev libdvdread-dev libavcodec-dev libavutil-dev libswscale-dev \
  libswresample-dev libavfilter-dev libavformat-dev googletest libgtest-dev \
  ffmpeg dvdauthor genisoimage xvfb fonts-dseg fonts-dejavu-core fontconfig \
  qt6-qpa-plugins python3 clang libclang-rt-14-dev tesseract-ocr libxcb1-dev \
  libxcb-shape0-dev dbus-daemon desktop-file-utils dpkg-dev file \
  python3-pyatspi at-spi2-core mandoc appstream pulseaudio-utils"
# The sound tests' private sound server; not where PipeWire serves the desktop,
# whose sound a second server's session units would contend with (those tests
# then skip, saying so).
if ! dpkg-query -W -f='${Status}' pipewire-pulse 2>/dev/null | grep -q "install ok installed"; then
  PACKAGES="$PACKAGES pulseaudio"
fi

missing=""
for package in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q $missing
