#!/bin/sh
# The screenshot the software centre shows: the player on the sample disc,
# control bar and video window, under a private Xvfb (no window manager).
# Usage: tools/desktop-screenshot.sh [build folder] [output.png] [display number]
set -e
BUILD_DIR=${1:-build}
OUT=${2:-$BUILD_DIR/screenshots/vidora-desktop.png}
DISPLAY_NUMBER=${3:-96}
mkdir -p "$(dirname "$OUT")"
HOME_DIR=$(mktemp -d)
Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
PLAYER_PID=
trap 'kill $PLAYER_PID $XVFB_PID 2>/dev/null; rm -rf "$HOME_DIR"' EXIT
sleep 1
DISPLAY=":$DISPLAY_NUMBER" QT_QPA_PLATFORM=xcb HOME="$HOME_DIR" XDG_RUNTIME_DIR="$HOME_DIR" \
  XDG_CONFIG_HOME="$HOME_DIR/config" XDG_DATA_HOME="$HOME_DIR/data" \
  VIDORA_INSTANCE_KEY="screenshot-$$" \
  "$BUILD_DIR/vidora" "$(cd "$BUILD_DIR/testdiscs/sample" && pwd)/" >/dev/null 2>&1 &
PLAYER_PID=$!
# A few seconds into the title: the bar shows its time and chapter.
sleep 6
ffmpeg -loglevel error -y -f x11grab -video_size 1280x800 -i ":$DISPLAY_NUMBER" \
  -frames:v 1 "$OUT"
echo "$OUT"
