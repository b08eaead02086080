#!/bin/sh
# Rebuilds the control bar's skin bitmaps, the disc logo and the program's
# icons from makeskin.cpp.
set -e
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -O1 -fPIC -o "$WORK/makeskin" "$HERE/makeskin.cpp" \
  $(pkg-config --cflags --libs Qt6Gui)
mkdir -p "$HERE/icons"
QT_QPA_PLATFORM=offscreen "$WORK/makeskin" "$HERE"
