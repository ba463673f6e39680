#!/usr/bin/env bash
# Frame rate of the demo's own loop at 800x600 on Mesa llvmpipe under a private Xvfb (no vsync):
# answers the start-up question with No (a window of 800x600), lets the show run, ends it with
# Escape and prints the figure the demo reports with VAVARIZO_FPS=1 and the share of one core
# the program used meanwhile. Then, on the same display, bench_pacing (when built) records each
# frame's time against its slot. PROGRAM (default BUILD_DIR/bin/vavarizo) may be the Windows
# build's vavarizo.exe: it then runs under Wine, in a prefix of its own.
# Usage: demo_fps.sh BUILD_DIR [ASSETS_DIR] [SECONDS] [PROGRAM]
set -euo pipefail

build=${1:?usage: demo_fps.sh BUILD_DIR [ASSETS_DIR] [SECONDS] [PROGRAM]}
assets=$(realpath -m "${2:-$build/assets}")
seconds=${3:-20}
demo=("$(realpath "${4:-$build/bin/vavarizo}")")
"$(dirname "$0")/make_assets.sh" "$build" "$assets"

# A display number nobody else is using.
n=$(( 200 + $$ % 500 ))
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
work=$(mktemp -d)
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
demo_pgid=""
cleanup() {
  [ -n "$demo_pgid" ] && kill -- "-$demo_pgid" 2>/dev/null || true
  [ -n "${WINEPREFIX:-}" ] && { wineserver -k; wineserver -w; } 2>/dev/null
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=":$n"
if [[ ${demo[0]} == *.exe ]]; then
  export WINEPREFIX="$work/wine" WINEDEBUG=-all
  wineboot -i >/dev/null 2>&1
  demo=(wine "${demo[0]}")
fi
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

# Waits up to 30 s for a top-level window with exactly this title; prints its id.
find_window() {
  for _ in $(seq 300); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1; exit}')
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "demo_fps: no window \"$1\"" >&2
  return 1
}

(cd "$assets" && SDL_AUDIODRIVER=dummy VAVARIZO_FPS=1 exec setsid timeout $((seconds + 120)) "${demo[@]}" \
  >"$work/out.txt" 2>"$work/err.txt") &
demo=$!
demo_pgid=$demo

# Keys can arrive before the box has taken the focus: press until it is gone.
question="QECS (Quendrill Elite Config System)"
box=$(find_window "$question")
for _ in $(seq 50); do
  xdotool windowfocus --sync "$box" key Escape 2>/dev/null || true
  sleep 0.2
  xwininfo -root -tree | grep -qF "\"$question\"" || break
done
window=$(find_window "Vavarizo32 complete remake!")
# CPU time (user + system, all threads) of the program itself: timeout's child.
# Under Wine the program is Wine's own process tree, and its share is not measured.
pid=$(pgrep -P "$demo" -x vavarizo || true)
cpu_ticks() { if [ -n "$pid" ]; then awk '{ print $14 + $15 }' "/proc/$pid/stat"; else echo 0; fi; }
ticks=$(cpu_ticks)
started=$(date +%s%N)
sleep "$seconds"
ticks=$(( $(cpu_ticks) - ticks ))
elapsed=$(( $(date +%s%N) - started ))
for _ in $(seq 50); do
  xdotool windowfocus --sync "$window" key Escape 2>/dev/null || true
  sleep 0.2
  kill -0 "$demo" 2>/dev/null || break
done
# The exit code is the parameter of the last message taken (the Escape key's), not a verdict.
wait "$demo" || true
demo_pgid=""
grep -F "frames per second" "$work/out.txt" || { echo "demo_fps: no figure" >&2; cat "$work/err.txt" >&2; exit 1; }
[ -n "$pid" ] && awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" -v ns="$elapsed" \
  'BEGIN { printf "vavarizo: %.1f%% of one core over %.1f s\n", 100 * t / hz / (ns / 1e9), ns / 1e9 }'
pacing=$(realpath -m "$build/bin/bench_pacing")
if [ -x "$pacing" ] && [ -n "$pid" ]; then
  (cd "$assets" && SDL_AUDIODRIVER=dummy "$pacing" "$seconds")
fi
