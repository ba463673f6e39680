#!/usr/bin/env bash
# The Windows build's goals, measured (run by hand, never as a test):
#   - the zip's size (goal: at most 4 MB)
#   - `make windows` from a warm dependency cache, the Windows build folder removed (goal: < 3 min)
#   - with --cold, `make windows` with an empty dependency cache as well (goal: < 20 min)
#   - the show's frame rate under Wine on llvmpipe, 800x600 window (goal: at least 100 frames/s)
# Usage: bench/windows/windows_bench.sh [--cold]   (from the top of the clone)
set -euo pipefail
cd "$(dirname "$0")/../.."
win=build-win

timed_make() {
  local start=$SECONDS
  rm -rf "$win"
  make windows >/dev/null
  echo "make windows ($1 dependency cache): $((SECONDS - start)) s"
}

make windows >/dev/null  # the cache warm, the native tools built
timed_make warm
if [ "${1:-}" = --cold ]; then
  cold=$(mktemp -d)
  trap 'rm -rf "$cold"' EXIT
  XDG_CACHE_HOME=$cold timed_make cold
fi
echo "zip: $(stat -c %s "$win/vavarizo-win64.zip") bytes"
unzip -l "$win/vavarizo-win64.zip" | tail -n +4 | head -n -2 | awk '{printf "  %9d  %s\n", $1, $4}'
assets=$(mktemp -d)
bench/render/demo_fps.sh build "$assets" 20 "$win/bin/vavarizo.exe" | sed 's/^/show under Wine: /'
rm -rf "$assets"
