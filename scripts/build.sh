#!/usr/bin/env bash
# Configures and builds into ./build (or $GC_BUILD_DIR). Extra arguments are
# build targets; none builds everything.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${GC_BUILD_DIR:-build}
./scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${GC_CMAKE_ARGS:-} >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
