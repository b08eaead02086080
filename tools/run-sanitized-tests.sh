#!/bin/sh
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
# in a build folder of its own and runs it; any report fails the run (the
# test programs and replay runners carry their sanitizer settings and the few
# suppressions for the system libraries, fuzz/sanitizer_defaults.cpp).
# usage: tools/run-sanitized-tests.sh [BUILD_DIR]
set -e
BUILD_DIR=${1:-build-asan}
FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$FLAGS" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$BUILD_DIR" -j"${JOBS:-2}"
# The program itself, run by some tests, gets the same settings from here.
ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1:fast_unwind_on_malloc=0} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  ./tools/run-tests.sh "$BUILD_DIR"
