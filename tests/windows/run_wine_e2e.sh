#!/usr/bin/env bash
# One scenario of the Windows program under Wine on the e2e harness, its prefix in its own folder.
# Usage: run_wine_e2e.sh SCENARIO VAVARIZO_EXE BOXTEXT_EXE E2E_ASSETS E2E_XCLOSE (native build's)
set -u
scenario=$1 program=(wine "$2") boxtext=$3 assets=$4 xclose=$5
. "$(dirname "$0")/../e2e/harness.sh"

export WINEPREFIX="$work/wine" WINEDEBUG=-all
cleanup_more() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }

# Whether the box with this caption says TEXT, read through Windows (X sees only drawn text).
box_says() { wine "$boxtext" "$1" | tr -d '\r' | grep -qxF "$2"; }
# The box's caption may come before its text.
expect_box() { wait_for 5 0.3 box_says "$1" "$2" || fail "box \"$1\" says: $(wine "$boxtext" "$1")"; }

start_x 1024x768x24
start_window_manager
# After the X server: Wine's desktop process, started here, keeps the display it found.
wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
mkdir -p "$work/show"
exe_dir=$(dirname "$2")
case "$scenario" in
question_no_sprites_escape)  # from the unpacked zip alone: its DLLs, its default assets
    unzip -q -j "$exe_dir/../vavarizo-win64.zip" -d "$work/show" || fail "no zip beside $exe_dir"
    program=(wine "$work/show/vavarizo.exe")
    start_show
    expect_box "$question" "Fullscreen?"
    open_window
    pixel_window=$main
    expect_pixels 10 10 "$sky"
    # The sprites' squares are drawn somewhere on the sky.
    colours=$(import -window "$main" png:- | convert - -unique-colors txt:- | grep -c srgb)
    [ "$colours" -ge 3 ] || fail "only $colours colours in the window"
    escape_ends
    ;;
missing_module | no_sound)
    # Without its module or without sound the show says so in a box, goes on, and closes.
    said="morvaskfel!" option=no-module
    [ "$scenario" = no_sound ] && said="FEEL när Fmod skulle startas" option= && export SDL_AUDIODRIVER=none
    "$assets" "$work/show" $option
    start_show
    expect_box "FmodFel! QZ :)" "$said"
    answer "FmodFel! QZ :)" Return
    open_window
    "$xclose" "$main" || fail "could not send the close request"
    expect_exit 0
    ;;
render_matches_linux)
    # The same frames from both renderers: at most 1% of the pixels differ by more than 16 of 255.
    native=$(dirname "$assets")
    "$native/vavarizo-sprites" "$work/show" >/dev/null && "$native/vavarizo-music" "$work/show" >/dev/null
    for ms in 2000 20000 36100 44950 70000; do
        "$native/vavarizo-render" --at "$ms" --out "$work/linux-$ms.png" --assets "$work/show" 2>/dev/null ||
            fail "the Linux renderer failed at $ms"
        (cd "$work" && wine "$exe_dir/vavarizo-render.exe" --at "$ms" --out "win-$ms.png" --assets show) ||
            fail "vavarizo-render.exe failed at $ms"
        differing=$(compare -metric AE -fuzz 6.3% "$work/linux-$ms.png" "$work/win-$ms.png" null: 2>&1)
        [ "$differing" -le 4800 ] || fail "$differing of 480000 pixels differ at $ms ms"
    done
    ;;
*) fail "unknown scenario" ;;
esac
echo "PASS ($scenario)"
