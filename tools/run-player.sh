#!/bin/sh
# Starts the player; with no argument of its own it plays the bundled sample
# disc, made at build time.
BUILD_DIR=${1:-build}
shift 2>/dev/null
SAMPLE="$BUILD_DIR/testdiscs/sample/"
if [ $# -eq 0 ] && [ -d "$SAMPLE" ]; then
  exec "$BUILD_DIR/vidora" "$(cd "$SAMPLE" && pwd)/"
fi
exec "$BUILD_DIR/vidora" "$@"
