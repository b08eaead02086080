#!/bin/sh
# Rebuilds the control bar's skin bitmap and the disc logo from makeskin.cpp.
set -e
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -O1 -fPIC -o "$WORK/makeskin" "$HERE/makeskin.cpp" \
  $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$WORK/makeskin" "$HERE/controlbar.bmp" "$HERE/dvdlogo.png"
