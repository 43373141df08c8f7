#!/usr/bin/env bash
# Builds the editor and starts it; arguments go to the editor (a file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh Gleamcraft
exec "${GC_BUILD_DIR:-build}/Gleamcraft" "$@"
