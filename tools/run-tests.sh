#!/bin/sh
# Runs every test through CTest and closes with one summary line.
BUILD_DIR=${1:-build}
log=$(mktemp)
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2 --timeout 300 2>&1 | tee "$log"
status=$?
total=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" | tail -1)
rm -f "$log"
if [ -z "$total" ]; then
  echo "0 passed, 1 failed"
  exit 1
fi
failed=${total% *}
all=${total#* }
echo "$((all - failed)) passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
