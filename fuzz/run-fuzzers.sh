#!/bin/sh
# Builds every fuzz target with clang's libFuzzer and runs each for a while,
# starting from its kept corpus. New inputs go to a scratch folder; a crash
# leaves its input in BUILD_DIR/crashes/<name>/, to be fixed and then kept in
# fuzz/corpus/<name>/ so that `make test` replays it from then on.
#
# usage: fuzz/run-fuzzers.sh [BUILD_DIR] [SECONDS_PER_TARGET]
set -eu

BUILD_DIR=${1:-build-fuzz}
SECONDS_PER_TARGET=${2:-60}
HERE=$(cd "$(dirname "$0")" && pwd)

CXX=clang++ cmake -S "$HERE/.." -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIDORA_FUZZ=ON
targets=$(cd "$HERE" && ls ./*_fuzz.cpp 2>/dev/null | sed 's#^\./##; s/_fuzz\.cpp$//')
[ -n "$targets" ] || { echo "no fuzz targets"; exit 0; }
# shellcheck disable=SC2046
cmake --build "$BUILD_DIR" -j"${JOBS:-2}" --target $(for t in $targets; do printf '%s_fuzzer ' "$t"; done)

status=0
for target in $targets; do
  scratch="$BUILD_DIR/corpus/$target"
  crashes="$BUILD_DIR/crashes/$target"
  mkdir -p "$scratch" "$crashes"
  echo "== $target: $SECONDS_PER_TARGET s"
  # libdvdread answers a damaged table's absurd size (up to 4 GiB) with an
  # allocation it then frees when the read fails: not a finding.
  if ! "$BUILD_DIR/fuzz/${target}_fuzzer" -max_total_time="$SECONDS_PER_TARGET" -malloc_limit_mb=4097 \
      -artifact_prefix="$crashes/" "$scratch" "$HERE/corpus/$target"; then
    echo "$target: a crash was found, its input is in $crashes" >&2
    status=1
  fi
done
exit $status
