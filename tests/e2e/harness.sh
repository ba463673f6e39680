# The pieces of an end-to-end scenario, sourced by run_e2e.sh and tests/windows/run_wine_e2e.sh
# after they set `scenario` and `program` (the command that starts the show, maybe an array).
work=$(mktemp -d /tmp/vavarizo-e2e.XXXXXX)
groups=()
x_server=
# The programs go with KILL: SDL turns TERM into a quit message, which a program waiting in a
# box never reads. The X server goes last, with TERM so that it removes its lock and socket.
cleanup() {
    for g in "${groups[@]}"; do
        kill -KILL -- "-$g" 2>/dev/null
        wait "$g" 2>/dev/null
    done
    declare -F cleanup_more >/dev/null && cleanup_more
    if [ -n "$x_server" ]; then
        kill -- "-$x_server" 2>/dev/null
        wait "$x_server" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($scenario): $*" >&2
    [ -s "$work/err" ] && { echo "--- program's stderr:" >&2; cat "$work/err" >&2; }
    [ -s "$work/wm" ] && { echo "--- window manager's output:" >&2; cat "$work/wm" >&2; }
    [ -n "${DISPLAY:-}" ] && { echo "--- windows:" >&2; xwininfo -root -tree 2>&1 | grep '"' >&2; }
    exit 1
}

# Runs a command up to N times, PAUSE seconds apart, until it succeeds.
wait_for() {
    local n=$1 pause=$2
    shift 2
    for _ in $(seq "$n"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep "$pause"
    done
    return 1
}

# Xvfb picks a free display itself. Without -noreset it resets whenever its last client leaves:
# each message box is a client of its own, and the next one could find the server resetting.
start_x() {
    setsid Xvfb -displayfd 5 -screen 0 "$1" -nolisten tcp -noreset 5>"$work/display" >/dev/null 2>&1 &
    x_server=$!
    wait_for 100 0.05 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
    wait_for 100 0.05 xprop -root || fail "Xvfb takes no clients"
}

# A window manager still starting when a window maps may leave it unmapped and unmanaged. Naming
# its check window on the root does not mean it takes requests yet: it is ready once it has framed
# a probe window. One that gave up or stalled at start is replaced once.
wm_frames_probe() { xprop -name vavarizo-wm-probe WM_STATE 2>/dev/null | grep -q "window state"; }
start_window_manager() {
    local wm probe
    for _ in 1 2; do
        setsid openbox >"$work/wm" 2>&1 &
        wm=$!
        groups+=("$wm")
        if wait_for 300 0.1 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'; then
            xmessage -title vavarizo-wm-probe probe >/dev/null 2>&1 &
            probe=$!
            wait_for 300 0.1 wm_frames_probe && { kill "$probe"; wait "$probe" 2>/dev/null; return 0; }
            kill "$probe"
        fi
        kill -KILL -- "-$wm" 2>/dev/null
        cat "$work/wm" >&2
    done
    fail "the window manager did not start"
}

start_show() {
    mkdir -p "$work/show"
    (cd "$work/show" && exec setsid timeout 60 "${program[@]}") >"$work/out" 2>"$work/err" &
    show=$!
    groups+=("$show")
}

# Waits for the show to end and checks its exit code.
expect_exit() {
    wait_for 100 0.1 eval '! kill -0 "$show"' || fail "the show did not end"
    wait "$show"
    local got=$?
    [ "$got" -eq "$1" ] || fail "exit code $got, expected $1"
}

# The id of the top-level window with exactly this title, once it exists. Message boxes cannot
# be found by name with xdotool in a UTF-8 locale, so the window tree is searched instead.
window_titled() {
    local id
    for _ in $(seq 150); do
        id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\": (" | awk '{print $1; exit}')
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$show" 2>/dev/null || fail "the show ended while waiting for \"$1\""
        sleep 0.1
    done
    fail "no window \"$1\""
}

# A window manager may still be mapping a new window: focusing it can fail for a moment.
focus() { wait_for 50 0.1 xdotool windowfocus --sync "$1"; }

# Whether window ID no longer carries this title. Each box is its own X client, and the server hands
# the next box the same client number and so the same window id: the id alone cannot tell them apart.
gone() { ! xwininfo -root -tree 2>/dev/null | grep -qF "$1 \"$2\": ("; }

# A box that has just appeared may not take keys yet: press again while it stays. A busy box can
# take a while to go, and a second press must not reach the box after it.
answer() {
    local id
    id=$(window_titled "$1") || exit 1
    for _ in $(seq 4); do
        focus "$id" && xdotool key "$2"
        wait_for 60 0.1 gone "$id" "$1" && return 0
    done
    fail "could not answer \"$1\""
}

# From the root window unless pixel_window names another (a managed window sits inside its frame).
pixel() {
    import -window "${pixel_window:-root}" png:- 2>/dev/null | convert - -format "%[pixel:p{$1,$2}]" info:
}
pixel_is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
# Usage: expect_pixels X Y COLOUR [X Y COLOUR]...; each may take a few frames to show.
expect_pixels() {
    while [ $# -ge 3 ]; do
        wait_for 30 0.1 pixel_is "$@" || fail "pixel ($1, $2) is $(pixel "$1" "$2"), expected $3"
        shift 3
    done
}

title="Vavarizo32 complete remake!" question="QECS (Quendrill Elite Config System)"
sky="srgb(0,0,255)" black="srgb(0,0,0)" grass="srgb(200,180,40)"

# The windowed show, up and drawing its sky.
open_window() {
    answer "$question" Escape
    main=$(window_titled "$title") || exit 1
    local geometry
    geometry=$(xwininfo -id "$main" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    [ "$geometry" = "800x600" ] || fail "client area $geometry, expected 800x600"
}

# Escape, held long enough for several frames as a finger would, ends the show with the last
# message's parameter: the Escape key's code.
escape_ends() {
    focus "$main" || fail "could not focus the window"
    xdotool keydown Escape
    sleep 0.3
    xdotool keyup Escape
    expect_exit 27
}
