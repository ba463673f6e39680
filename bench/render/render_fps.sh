#!/usr/bin/env bash
# Frames per second of vavarizo-render for the 70-second show at 30 fps (2100 frames of 800x600),
# PNG writing included: first with everything on one thread (--workers 0: draw, encode, write in
# turn), then with the default workers (one per core) encoding while the GL thread draws.
# Usage: render_fps.sh BUILD_DIR [ASSETS_DIR] [SECONDS]
set -euo pipefail

build=${1:?usage: render_fps.sh BUILD_DIR [ASSETS_DIR] [SECONDS]}
assets=${2:-$build/assets}
seconds=${3:-70}
render=$build/bin/vavarizo-render
[ -x "$render" ] || { echo "render_fps: no $render (build it first)" >&2; exit 1; }
"$(dirname "$0")/make_assets.sh" "$build" "$assets"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
# Wall time shows what the machine gave; CPU time per frame shows what the work costs, which is
# what bounds the rate on an idle machine (cores / CPU time per frame).
TIMEFORMAT='%R %U %S'
for workers in 0 default; do
  rm -rf "$out/frames"
  args=()
  [ "$workers" = default ] || args=(--workers "$workers")
  { time "$render" --from 0 --to $((seconds * 1000)) --fps 30 --out-dir "$out/frames" --assets "$assets" \
      "${args[@]}" >/dev/null 2>"$out/err"; } 2>"$out/time"
  frames=$(find "$out/frames" -name 'frame-*.png' | wc -l)
  read -r wall user sys <"$out/time"
  awk -v w="$workers" -v f="$frames" -v t="$wall" -v c="$user + $sys" 'BEGIN {
    split(c, p, " + "); cpu = p[1] + p[2]
    printf "vavarizo-render --workers %s: %d frames in %.2f s, %.1f frames per second; %.2f ms CPU per frame\n",
      w, f, t, f / t, 1000 * cpu / f }'
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
