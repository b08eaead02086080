#!/bin/sh
# Removes what `make install` put under PREFIX (inside DESTDIR when set): the
# install is replayed into an empty folder to list its files, and exactly
# those are removed; folders other programs share are left.
#
# usage: tools/uninstall.sh BUILD_DIR PREFIX
set -eu
BUILD_DIR=${1:?usage: uninstall.sh BUILD_DIR PREFIX}
PREFIX=${2:?usage: uninstall.sh BUILD_DIR PREFIX}
TARGET=${DESTDIR:-}
STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT
DESTDIR="$STAGE" cmake --install "$BUILD_DIR" --prefix "$PREFIX" >/dev/null
(cd "$STAGE" && find . \( -type f -o -type l \) -print) | while IFS= read -r file; do
  path="$TARGET${file#.}"
  if [ -e "$path" ] || [ -L "$path" ]; then
    rm -f "$path"
    echo "Removed: $path"
  fi
done
if [ -z "$TARGET" ]; then
  update-desktop-database -q "$PREFIX/share/applications" 2>/dev/null || true
  gtk-update-icon-cache -q -t "$PREFIX/share/icons/hicolor" 2>/dev/null || true
fi
