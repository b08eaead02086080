#!/bin/sh
# Plays the generated sample disc under a private Xvfb (no window manager) and
# saves screenshots of the control bar while it plays, the bar with a button
# under the pointer, and the stream dialogs with the navigation pad.
# Usage: tools/surfaces-screenshots.sh [build folder] [output folder]
set -e
BUILD_DIR=${1:-build}
OUT_DIR=${2:-$BUILD_DIR/screenshots}
mkdir -p "$OUT_DIR"
OUT_DIR=$(cd "$OUT_DIR" && pwd)
cmake --build "$BUILD_DIR" --target test_surfaces -j2 >/dev/null
QT_QPA_PLATFORM=xcb VIDORA_SCREENSHOTS="$OUT_DIR" \
  VIDORA_TEST_DISCS="$(cd "$BUILD_DIR" && pwd)/testdiscs" \
  xvfb-run -a -s "-screen 0 1280x960x24 -nolisten tcp" \
  "$BUILD_DIR/tests/test_surfaces" --gtest_filter='SurfacesEndToEnd*'
ls -l "$OUT_DIR"
