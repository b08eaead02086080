#!/bin/sh
# Shows every button style in its up, hover, pressed, focused and disabled
# looks on a virtual X server and saves a screenshot of them.
# Usage: tools/button-gallery.sh [build dir] [picture.png] [zoom factor]
set -e
BUILD_DIR=${1:-build}
OUT=${2:-button-gallery.png}
cmake --build "$BUILD_DIR" --target button_gallery -j2 >/dev/null
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
  "$BUILD_DIR/tools/button_gallery" "$OUT" "${3:-1}"
echo "Saved $OUT"
