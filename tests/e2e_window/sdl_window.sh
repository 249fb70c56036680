# The Linux program under Xvfb: the fullscreen question, the window, the letterbox, closing.
# Usage: sdl_window.sh MODE PROGRAM CLOSER
#   yes        answer the question with Return: a fullscreen window of the screen's size
#   no         answer with a click on No: a 1280 x 720 window
#   letterbox  as no, then resize and check where the drawn area lies (PROGRAM must clear
#              to magenta: the letterbox probe)
#   music      as no, with the sound going to a private sound server; closes the window while
#              the title's song plays: the program is gone within CLOSE_SECONDS and leaves no
#              stream behind on the server
# Every mode then closes the window the way a window manager would and expects status 0.
. "$(dirname "$0")/e2e_lib.sh"
CLOSE_SECONDS=3

mode=$1 program=$2 closer=$3
[ -x "$program" ] || skip "no program at $program"
[ -x "$closer" ] || skip "no window closer at $closer"
need_tools Xvfb xdotool xwininfo import convert
xvfb_start
if [ "$mode" = music ]; then
    . "$(dirname "$0")/../e2e_sfx/pulse_server.sh"
    pulse_start 48000
    export SDL_AUDIODRIVER=pulseaudio
fi

"$program" >"$WORK_DIR/program.log" 2>&1 &
program_pid=$!
STARTED_PIDS+=($program_pid)

is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
is_fullscreen() { [ "$2" -eq "$SCREEN_WIDTH" ] && [ "$3" -eq "$SCREEN_HEIGHT" ]; }
is_windowed() { [ "$2" -eq 1280 ] && [ "$3" -eq 720 ]; }

wait_titled_window is_box || fail "no question box titled \"$TITLE\""
read -r box_id box_width box_height <<<"$FOUND"
echo "question box $box_id ${box_width}x${box_height}"

# The buttons are the columns of the box's lower half that are mostly not background; the
# first run of such columns from the left is No. Prints "X Y" of its centre, in the box.
no_button_centre() {
    import -window "$box_id" "$WORK_DIR/box.png" || return 1
    convert "$WORK_DIR/box.png" -crop "${box_width}x$((box_height / 2))+0+$((box_height / 2))" +repage \
        -depth 8 txt:- | awk -v w="$box_width" -v h0=$((box_height / 2)) '
        NR > 1 { split($1, p, /[,:]/); c[p[1], p[2]] = $3; n[$3]++; if (p[2] + 1 > h) h = p[2] + 1 }
        END {
            for (k in n) if (n[k] > best) { best = n[k]; bg = k }
            for (x = 0; x < w; x++) for (y = 0; y < h; y++) if (c[x, y] != bg) { col[x]++; if (!top[x] && y) top[x] = y; bot[x] = y }
            for (x = 0; x < w && col[x] < 10; x++) ;
            for (e = x; e < w && col[e] >= 10; e++) ;
            if (x >= w || e - x < 20) exit 1
            m = int((x + e) / 2)
            print m, h0 + int((top[m] + bot[m]) / 2)
        }'
}

case $mode in
yes)
    press_return() { ! box_shown "$box_id" || xdotool mousemove --window "$box_id" $((box_width / 2)) 5 key Return; }
    act_until "$WAIT_SECONDS" press_return find_titled_window is_fullscreen || fail "no ${SCREEN_WIDTH}x$SCREEN_HEIGHT window after Yes: $(titled_windows)"
    ;;
no | letterbox | music)
    read -r no_x no_y < <(no_button_centre) || fail "No button not found in the question box"
    echo "clicking No at $no_x,$no_y of the box"
    click_no() { ! box_shown "$box_id" || xdotool mousemove --window "$box_id" "$no_x" "$no_y" click 1; }
    act_until "$WAIT_SECONDS" click_no find_titled_window is_windowed || fail "no 1280x720 window after No: $(titled_windows)"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
read -r window_id _ <<<"$FOUND"
echo "game window $window_id: $(xwininfo -id "$window_id" | grep -E 'Width|Height' | tr -s ' \n' ' ')"

# magenta_share X Y W H: the share (0..1) of probe-coloured pixels in that window rectangle.
magenta_share() {
    convert "$WORK_DIR/shot.png" -crop "$3x$4+$1+$2" +repage -fill black +opaque magenta -fill white \
        -opaque magenta -colorspace gray -format '%[fx:mean]' info:
}
# letterbox_shows W H LEFT TOP: a screenshot has exactly the drawn area at LEFT, TOP (the
# rest of the window is bars, which are never drawn).
letterbox_shows() {
    local w=$1 h=$2 left=$3 top=$4
    import -window "$window_id" "$WORK_DIR/shot.png" 2>/dev/null || return 1
    [ "$(magenta_share "$left" "$top" $((w - 2 * left)) $((h - 2 * top)))" = 1 ] || return 1
    if [ "$left" -gt 0 ]; then
        [ "$(magenta_share 0 0 "$left" "$h")" = 0 ] || return 1
        [ "$(magenta_share $((w - left)) 0 "$left" "$h")" = 0 ] || return 1
    fi
    if [ "$top" -gt 0 ]; then
        [ "$(magenta_share 0 0 "$w" "$top")" = 0 ] || return 1
        [ "$(magenta_share 0 $((h - top)) "$w" "$top")" = 0 ] || return 1
    fi
}
# check_letterbox W H LEFT TOP: resizes the window (unless it has that size) and waits for
# the letterbox; keeps the screenshot in the build tree for a look.
check_letterbox() {
    local w=$1 h=$2
    xdotool windowsize "$window_id" "$w" "$h"
    poll "$WAIT_SECONDS" letterbox_shows "$@" || {
        cp "$WORK_DIR/shot.png" "$PWD/letterbox-${w}x$h-failed.png" 2>/dev/null
        fail "window ${w}x$h: drawn area not at left $3, top $4"
    }
    cp "$WORK_DIR/shot.png" "$PWD/letterbox-${w}x$h.png" 2>/dev/null
    echo "window ${w}x$h: drawn area at left $3, top $4 and nothing in the bars"
}

if [ "$mode" = letterbox ]; then
    check_letterbox 1280 720 160 0
    check_letterbox 1000 480 180 0
    check_letterbox 640 600 0 60
fi

# The song's stream is the only one at 48,000 Hz; the title starts it after the intro.
music_streams() { pactl list sink-inputs | grep -c "Sample Specification: s16le 2ch 48000Hz"; }
music_plays() { [ "$(music_streams)" -eq 1 ]; }
if [ "$mode" = music ]; then
    poll "$WAIT_SECONDS" music_plays || fail "the title's song never played: $(pactl list short sink-inputs)"
    echo "the title's song plays"
fi

closed_at=$(date +%s%N)
"$closer" "$window_id" || fail "could not send the close request"
wait_exit "$program_pid"
if [ "$mode" = music ]; then
    took_ms=$((($(date +%s%N) - closed_at) / 1000000))
    echo "gone ${took_ms} ms after the close request"
    [ "$took_ms" -le $((CLOSE_SECONDS * 1000)) ] || fail "the program took ${took_ms} ms to end"
    no_streams() { [ -z "$(pactl list short sink-inputs)" ]; }
    poll 5 no_streams || fail "streams left on the sound server: $(pactl list short sink-inputs)"
    echo "no stream of it left on the sound server"
fi
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after closing the window"
echo "closed: exit status 0"
