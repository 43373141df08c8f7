#!/usr/bin/env bash
# Builds everything and runs every test. GC_SANITIZE=1 builds into
# ./build-asan with AddressSanitizer and UndefinedBehaviorSanitizer;
# GC_LONG_TESTS=1 also runs the long sweeps (the tests labelled "long").
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${GC_SANITIZE:-0}" = 1 ]; then
  export GC_BUILD_DIR=${GC_BUILD_DIR:-build-asan}
  export GC_CMAKE_ARGS="${GC_CMAKE_ARGS:-} -DGC_SANITIZE=ON"
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp}
fi
./scripts/build.sh
labels=(-LE long)
[ "${GC_LONG_TESTS:-0}" = 1 ] && labels=()
ctest --test-dir "${GC_BUILD_DIR:-build}" -j"$(nproc)" --output-on-failure --timeout 600 "${labels[@]}" "$@"
