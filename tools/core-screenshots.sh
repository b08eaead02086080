#!/bin/sh
# Plays the generated test disc under a private Xvfb (no window manager) and
# saves two screenshots: the video window playing a title, and its context
# menu open. Usage: tools/core-screenshots.sh [build folder] [output folder]
set -e
BUILD_DIR=${1:-build}
OUT_DIR=${2:-$BUILD_DIR/screenshots}
mkdir -p "$OUT_DIR"
OUT_DIR=$(cd "$OUT_DIR" && pwd)
DISPLAY_NUMBER=97
Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
trap 'kill $XVFB_PID' EXIT
sleep 1
DISPLAY=":$DISPLAY_NUMBER" QT_QPA_PLATFORM=xcb VIDORA_SCREENSHOTS="$OUT_DIR" \
  VIDORA_TEST_DISCS="$(cd "$BUILD_DIR" && pwd)/testdiscs" \
  "$BUILD_DIR/tests/test_core" --gtest_filter='EndToEnd*'
ls -l "$OUT_DIR"
