# Sourced after e2e_lib.sh by the tests that watch the real game on screen: what each stage of
# the game looks like (checks for screen_watch over the 640 x 480 virtual screen, see there),
# waiting for a stage, and input at virtual coordinates. Set SCREEN_WATCH (the screen_watch
# program) and GAME_WINDOW ("ID WIDTH HEIGHT" of the game window) first. The frames seen are
# kept as PNG files in the working directory (the build tree), named SHOT_PREFIX-STAGE.png.

# play_in_a_window: answers the fullscreen question with Escape (No) and sets GAME_WINDOW to the
# 1,280 x 720 window that follows.
play_in_a_window() {
    is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
    is_windowed() { [ "$2" -eq 1280 ] && [ "$3" -eq 720 ]; }
    wait_titled_window is_box || fail "no question box"
    local box_id box_width
    read -r box_id box_width _ <<<"$FOUND"
    answer_no() { ! box_shown "$box_id" || xdotool mousemove --window "$box_id" $((box_width / 2)) 5 key Escape; }
    act_until "$WAIT_SECONDS" answer_no find_titled_window is_windowed || fail "no game window"
    GAME_WINDOW=$FOUND
}

# The strip under the board is below every cloud; the middle of the board is where the menu
# panel and the countdown's overlays lie; the board's lower left is under the menu but inside the
# credits picture.
STAGE_INTRO=('black@0,440,640,40>=0.9' 'teal@296,168,48,48>=0.08')
STAGE_TITLE=('sky@0,445,640,35>=0.9' 'glass@31,65,510,272>=0.02' 'grass@40,40,520,400<=0.002')
STAGE_MENU=('cream@255,170,90,140>=0.4' 'cream@60,300,140,100<=0.05')
STAGE_READY=('cream@255,170,90,140<=0.02' 'gold@170,190,260,100^2.8-6')
STAGE_GO=('cream@255,170,90,140<=0.02' 'gold@170,190,260,100^1.2-2.5')
STAGE_CREDITS=('cream@60,60,140,90>=0.5' 'cream@380,300,160,100>=0.6')
# The middle column of a slot's score digit is ink in a 1 and the tile behind in a 0.
score_one() { echo "ink@626,$((168 + 60 * $1)),1,2>=0.3"; }
score_zero() { echo "ink@626,$((168 + 60 * $1)),1,2<=0.05"; }
# cell CLASS COL ROW BOUND: a check on one board cell.
cell() { echo "$1@$((40 + 40 * $2)),$((40 + 40 * $3)),40,40$4"; }

SHOT_PREFIX=${SHOT_PREFIX:-game}
keep_shots() {
    local ppm
    for ppm in "$WORK_DIR"/*.ppm; do
        [ -f "$ppm" ] && convert "$ppm" "$PWD/$SHOT_PREFIX-$(basename "$ppm" .ppm).png" 2>/dev/null
    done
}
cleanup_hooks+=(keep_shots)

# see STAGE SECONDS CHECK...: waits until the game window shows the stage.
see() {
    local stage=$1 seconds=$2 id
    shift 2
    read -r id _ <<<"$GAME_WINDOW"
    # As far ahead of other work as the game itself: the game keeps time however busy the machine
    # is, and a watcher that waits for its turn misses the countdown's overlays (under a second).
    if nice -n -11 "$SCREEN_WATCH" "$id" "$seconds" "$WORK_DIR/$stage.ppm" "$@" >"$WORK_DIR/$stage.txt"; then
        echo "seen: $stage"
        return 0
    fi
    mv "$WORK_DIR/$stage.ppm" "$WORK_DIR/$stage-failed.ppm" 2>/dev/null
    fail "$stage not seen: $(tr '\n' ';' <"$WORK_DIR/$stage.txt")"
}

# The window pixel of virtual (VX, VY), as the game letterboxes its screen.
window_point() {
    local width height
    read -r _ width height <<<"$GAME_WINDOW"
    awk -v w="$width" -v h="$height" -v x="$1" -v y="$2" 'BEGIN {
        sx = w / 640; sy = h / 480; s = sx < sy ? sx : sy
        left = sx > sy ? int((w - 640 * s) / 2) : 0; top = sy > sx ? int((h - 480 * s) / 2) : 0
        printf "%d %d\n", left + (x + 0.5) * s, top + (y + 0.5) * s }'
}

# vclick VX VY [BUTTON]: a click at a virtual point (button 1 left, 3 right).
vclick() {
    local id point
    read -r id _ <<<"$GAME_WINDOW"
    point=$(window_point "$1" "$2")
    # shellcheck disable=SC2086
    xdotool mousemove --window "$id" $point click "${3:-1}"
}

# vkey KEY...: key presses to the game window, as typed (a compatibility layer ignores keys sent
# to a window from outside), with the keyboard focus given to it first.
vkey() {
    local id
    read -r id _ <<<"$GAME_WINDOW"
    xdotool windowfocus "$id" 2>/dev/null
    xdotool key "$@"
}
