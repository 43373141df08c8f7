#!/usr/bin/env bash
# Configures and builds into ./build (or $GC_BUILD_DIR). Extra arguments are
# build targets; none builds everything.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${GC_BUILD_DIR:-build}
./scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${GC_CMAKE_ARGS:-} >/dev/null
# The meta-object step of an existing build folder misses Q_OBJECT headers that
# a merge or checkout brought in; when the set of such headers changed, its
# generated sources are made anew.
moc_list=$(grep -rl --include='*.h' 'Q_OBJECT' app controls dialogs platform tests uninstaller 2>/dev/null | sort | md5sum)
if [ "$(cat "$build_dir/.moc-headers" 2>/dev/null)" != "$moc_list" ]; then
  find "$build_dir" -maxdepth 3 -type d -name '*_autogen' -prune -exec rm -rf {} +
  echo "$moc_list" >"$build_dir/.moc-headers"
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
