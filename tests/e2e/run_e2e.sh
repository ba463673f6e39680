#!/usr/bin/env bash
# One end-to-end scenario of the Linux program.
# Usage: run_e2e.sh SCENARIO VAVARIZO E2E_ASSETS E2E_XCLOSE
set -u
scenario=$1
program=("$2")
assets=$3
xclose=$4
. "$(dirname "$0")/harness.sh"

case "$scenario" in
question_no_sky_escape)
    start_x 1024x768x24
    mkdir -p "$work/show" && "$assets" "$work/show"
    start_show
    open_window
    expect_pixel 10 10 "$sky"
    expect_pixel 790 10 "$sky"
    press_escape "$main"
    # The exit code is the last message's parameter: the Escape key's code.
    expect_exit 27
    ;;
close_button)
    start_x 1024x768x24
    mkdir -p "$work/show" && "$assets" "$work/show"
    start_show
    open_window
    "$xclose" "$main" || fail "could not send the close request"
    expect_exit 0
    ;;
missing_module)
    start_x 1024x768x24
    mkdir -p "$work/show" && "$assets" "$work/show" no-module
    start_show
    answer "FmodFel! QZ :)" Return
    open_window
    expect_pixel 10 10 "$sky"
    "$xclose" "$main"
    expect_exit 0
    ;;
fullscreen_letterbox)
    # A wide screen: the 4:3 picture is centred between black bars.
    start_x 1280x800x24
    mkdir -p "$work/show" && "$assets" "$work/show"
    start_show
    answer "QECS (Quendrill Elite Config System)" Return
    main=$(window_titled "$title") || exit 1
    expect_pixel 640 5 "$sky"
    expect_pixel 20 400 "$black"
    expect_pixel 1260 400 "$black"
    press_escape "$main"
    expect_exit 27
    ;;
alt_f4_window_manager)
    start_x 1024x768x24
    start_window_manager
    mkdir -p "$work/show" && "$assets" "$work/show"
    start_show
    open_window
    focus "$main" || fail "could not focus the window"
    xdotool key alt+F4
    expect_exit 0
    ;;
minimise_restore)
    start_x 1024x768x24
    mkdir -p "$work/show" && "$assets" "$work/show"
    start_show
    open_window
    expect_pixel 10 10 "$sky"
    xdotool windowunmap --sync "$main"
    sleep 0.5
    kill -0 "$show" 2>/dev/null || fail "the show ended while minimised"
    xdotool windowmap --sync "$main"
    expect_pixel 10 10 "$sky"
    press_escape "$main"
    expect_exit 27
    ;;
no_display)
    # Nothing to show a window on: the messages go to stderr and the program fails.
    unset DISPLAY WAYLAND_DISPLAY
    mkdir -p "$work/show" && "$assets" "$work/show"
    start_show
    expect_exit 1
    grep -qF "ERROR: Window Creation Error." "$work/err" || fail "no window message on stderr"
    grep -qF "QECS (Quendrill Elite Config System): Fullscreen?" "$work/err" || fail "no question on stderr"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($scenario)"
