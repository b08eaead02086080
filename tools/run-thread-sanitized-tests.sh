#!/bin/sh
# Builds the engine's tests (and the base ones beside them) with
# ThreadSanitizer in a build folder of its own and runs them; a test program
# that reported a race fails (status 66) even when its test passed. The
# player itself is built too, instrumented, for the tests that run it. Races
# inside the uninstrumented Qt and GLib libraries are left out by
# fuzz/thread_sanitizer.supp (each entry with its reason), never a frame of
# our own. The build and the test times are printed at the end.
# usage: tools/run-thread-sanitized-tests.sh [BUILD_DIR]
set -e
BUILD_DIR=${1:-build-tsan}
HERE=$(cd "$(dirname "$0")/.." && pwd)
FLAGS="-fsanitize=thread -fno-omit-frame-pointer"
started=$(date +%s)
# Lighter optimisation and line tables only: the instrumented build is the
# slow part of the run, and reports need no more than file and line.
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS="$FLAGS" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build "$BUILD_DIR" -j"${JOBS:-2}" --target test_engine test_base vidora
built=$(date +%s)
# Passed through the environment, so the player the tests start has them too
# (libdvdread's answer to a damaged table's absurd size is an allocation it
# expects to fail, as in fuzz/sanitizer_defaults.cpp).
export TSAN_OPTIONS="allocator_may_return_null=1 suppressions=$HERE/fuzz/thread_sanitizer.supp ${TSAN_OPTIONS:-}"
status=0
ctest --test-dir "$BUILD_DIR" -R '^(engine|base)\.' --output-on-failure -j2 --timeout 600 ||
  status=$?
finished=$(date +%s)
echo "build: $((built - started)) s, tests: $((finished - built)) s"
exit $status
