#!/usr/bin/env bash
# Frames per second of vavarizo-render for a 60-second frame sequence at 30 fps (1800 frames of
# 800x600), PNG writing included. Usage: render_fps.sh BUILD_DIR [ASSETS_DIR]
set -euo pipefail

build=${1:?usage: render_fps.sh BUILD_DIR [ASSETS_DIR]}
assets=${2:-$build/assets}
render=$build/bin/vavarizo-render
[ -x "$render" ] || { echo "render_fps: no $render (build it first)" >&2; exit 1; }
"$(dirname "$0")/make_assets.sh" "$build" "$assets"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
start=$(date +%s.%N)
"$render" --from 0 --to 60000 --fps 30 --out-dir "$out" --assets "$assets"
end=$(date +%s.%N)
frames=$(find "$out" -name 'frame-*.png' | wc -l)
awk -v f="$frames" -v s="$start" -v e="$end" \
  'BEGIN { printf "vavarizo-render: %d frames in %.2f s, %.1f frames per second\n", f, e - s, f / (e - s) }'
