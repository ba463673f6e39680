#!/usr/bin/env bash
# Makes the default assets in ASSETS_DIR with the asset tools of BUILD_DIR unless they are there.
# Usage: make_assets.sh BUILD_DIR ASSETS_DIR
set -euo pipefail

build=$1
assets=$2
if [ -f "$assets/morvask1.xm" ] && [ -f "$assets/grass.bmp" ]; then
  exit 0
fi
for tool in vavarizo-sprites vavarizo-music; do
  [ -x "$build/bin/$tool" ] || { echo "make_assets: no $build/bin/$tool (build it first)" >&2; exit 1; }
done
mkdir -p "$assets"
"$build/bin/vavarizo-sprites" "$assets"
"$build/bin/vavarizo-music" "$assets"
