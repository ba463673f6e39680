#!/usr/bin/env bash
# One end-to-end scenario: the real program in a folder of its own, on an Xvfb of its own,
# answered and ended with xdotool the way a person would.
# Usage: run_e2e.sh SCENARIO VAVARIZO E2E_ASSETS E2E_XCLOSE E2E_XPIXEL
set -u
scenario=$1 program=$2 assets=$3 xclose=$4 xpixel=$5

. "$(dirname "$0")/harness.sh"

# Usage: prepare [SCREEN|none] [E2E_ASSETS option]: an X server (1024x768 by default) and the assets.
prepare() {
    [ "${1:-}" = none ] || start_x "${1:-1024x768x24}"
    mkdir -p "$work/show" && "$assets" "$work/show" ${2:+"$2"}
}

case "$scenario" in
missing_module)
    prepare "" no-module && start_show
    answer "FmodFel! QZ :)" Return
    open_window
    expect_pixels 10 10 "$sky"
    # The close button ends the show as a success.
    "$xclose" "$main" || fail "could not send the close request"
    expect_exit 0
    ;;
fullscreen_letterbox)
    # A wide screen: the 4:3 picture is centred between black bars.
    prepare 1280x800x24 && start_show
    answer "$question" Return
    main=$(window_titled "$title") || exit 1
    expect_pixels 640 5 "$sky" 20 400 "$black" 1260 400 "$black"
    escape_ends
    ;;
alt_f4_window_manager)
    prepare && start_window_manager && start_show && open_window
    focus "$main" || fail "could not focus the window"
    xdotool key alt+F4
    expect_exit 0
    ;;
minimise_restore)
    # The picture pauses while minimised, the music does not. The vehicle (green tells its frames
    # apart): small (b4) and plain alternate until 4 s, big (a0) and plain from 4.1 to 5 s, plain
    # alone from 7 to 11.5 s, small and plain again from then. Minimised at the first big frame for
    # 6 s, the show comes back at about 10 s: no big frame, the small one 7.4 s after the big one
    # (give or take: on a busy machine the dummy audio device, and the music, fall behind).
    prepare && start_show && open_window
    big=$("$xpixel" 580 475 10 c8a028 | awk '$2 == "c8a028" { print $1 }')
    [ -n "$big" ] || fail "no big frame by 4 to 5 s"
    xdotool windowunmap --sync "$main"
    left=$(( big + 6000 - $(date +%s%3N) ))
    [ "$left" -gt 0 ] && sleep "$((left / 1000)).$(printf %03d $((left % 1000)))"
    kill -0 "$show" 2>/dev/null || fail "the show ended while minimised"
    xdotool windowmap --sync "$main"
    "$xpixel" 580 475 6 c8b428 >"$work/restored"
    ! grep -q c8a028 "$work/restored" || fail "a big frame after the restore: the show went on from before"
    small=$(awk '$2 == "c8b428" { print $1 }' "$work/restored")
    [ -n "$small" ] && [ $((small - big)) -ge 6900 ] && [ $((small - big)) -le 9900 ] ||
        fail "the small frame came $((${small:-0} - big)) ms after the big one, not about 7400"
    escape_ends
    ;;
window_resize_letterbox)
    # Resized away from 4:3, the window shows the 4:3 picture scaled between black bars.
    prepare && start_show && open_window
    xdotool windowsize --sync "$main" 1000 300
    expect_pixels 100 150 "$black" 900 150 "$black" 500 5 "$sky" 450 275 "$grass"
    xdotool windowsize --sync "$main" 300 700
    expect_pixels 150 100 "$black" 150 600 "$black" 150 274 "$sky" 112 443 "$grass"
    escape_ends
    ;;
signals)
    # SIGTERM ends the program at once while the question waits, and the show through its loop.
    prepare && start_show
    window_titled "$question" >/dev/null
    kill -TERM "$(pgrep -P "$show")"
    expect_exit 143
    sleep 0.3
    xwininfo -root -tree | grep -qF "\"$question" && fail "the question outlived the program"
    start_show && open_window
    kill -TERM "$(pgrep -P "$show")"
    expect_exit 143
    ;;
no_display)
    # Nothing to show a window on: the messages go to stderr and the program fails.
    unset DISPLAY WAYLAND_DISPLAY
    prepare none && start_show
    expect_exit 1
    head -n1 "$work/err" | grep -qF "No display was found" || fail "the first line does not say there is no display"
    grep -qF "ERROR: Window Creation Error." "$work/err" || fail "no window message on stderr"
    grep -qF "$question: Fullscreen?" "$work/err" || fail "no question on stderr"
    ;;
*) fail "unknown scenario" ;;
esac
echo "PASS ($scenario)"
