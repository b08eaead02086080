#!/bin/sh
# Runs every test through CTest, says why each skipped test did not run, and
# closes with one summary line: "N passed, N failed, N skipped".
BUILD_DIR=${1:-build}
log=$(mktemp)
junit=$(mktemp)
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2 --timeout 300 \
  --output-junit "$junit" 2>&1 | tee "$log"
status=$?
total=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" | tail -1)
rm -f "$log"
if [ -z "$total" ]; then
  rm -f "$junit"
  echo "0 passed, 1 failed, 0 skipped"
  exit 1
fi
# A skipped test's own output names its reason, on the line after "Skipped".
skipped=$(python3 - "$junit" <<'PY'
import sys
import xml.etree.ElementTree as ET
count = 0
for case in ET.parse(sys.argv[1]).getroot().iter("testcase"):
    if case.get("status") != "notrun" and case.find("skipped") is None:
        continue
    count += 1
    out = (case.findtext("system-out") or "").splitlines()
    reason = next((out[i + 1].strip() for i, line in enumerate(out[:-1])
                   if line.rstrip().endswith("Skipped")), "") or "no reason given"
    print("skipped: %s: %s" % (case.get("name"), reason), file=sys.stderr)
print(count)
PY
)
rm -f "$junit"
skipped=${skipped:-0}
failed=${total% *}
all=${total#* }
echo "$((all - failed - skipped)) passed, $failed failed, $skipped skipped"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
