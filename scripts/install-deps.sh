#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Gleamcraft needs,
# only when one of them is missing. Runs as root (CI) or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libosmesa6-dev libglu1-mesa-dev
  libjpeg62-turbo-dev libgtest-dev libgmock-dev
  fonts-liberation fonts-dejavu-core
)
# Optional peers used only by the benchmarks (giflib, and Pillow for resampling).
optional=(libgif-dev python3-pil)

missing=()
for p in "${packages[@]}" "${optional[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  -o DPkg::Lock::Timeout=900 "${missing[@]}"
