# The gameplay scene in the real program under Xvfb: the menu over level 0, a key press, then a
# game in progress. Screenshots go to the build tree (gameplay-menu.png, gameplay-playing.png).
# Usage: gameplay_screens.sh PROGRAM CLOSER
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"

program=$1 closer=$2
[ -x "$program" ] || skip "no program at $program"
[ -x "$closer" ] || skip "no window closer at $closer"
need_tools Xvfb xdotool xwininfo import convert
xvfb_start

# The effects have tests of their own; here any output that opens will do.
SDL_AUDIODRIVER=dummy "$program" >"$WORK_DIR/program.log" 2>&1 &
program_pid=$!
STARTED_PIDS+=($program_pid)

is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
is_fullscreen() { [ "$2" -eq "$SCREEN_WIDTH" ] && [ "$3" -eq "$SCREEN_HEIGHT" ]; }
wait_titled_window is_box || fail "no question box titled \"$TITLE\""
read -r box_id box_width _ <<<"$FOUND"
press_return() { ! box_shown "$box_id" || xdotool mousemove --window "$box_id" $((box_width / 2)) 5 key Return; }
act_until "$WAIT_SECONDS" press_return find_titled_window is_fullscreen || fail "no fullscreen window after Yes"
read -r window_id _ <<<"$FOUND"

SKY='abs(r-114/255)<0.03 && abs(g-153/255)<0.03 && abs(b-216/255)<0.03'
# The menu panel is light; the board under it is not.
LIGHT='r>0.7 && g>0.7 && b>0.6'
# Player 1 is orange.
ORANGE='r>0.75 && g>0.25 && g<0.6 && b<0.25'
MENU_PANEL=$(region 250 170 100 140)
PLAYER_1_START=$(region 160 120 40 40)

menu_shown() {
    shoot || return 1
    at_least "$(share "$SKY" "$(region 600 440 40 40)")" 0.9 &&
        at_least "$(share "$LIGHT" "$MENU_PANEL")" 0.5 &&
        at_least "$(share "$ORANGE" "$PLAYER_1_START")" 0.05
}
poll "$WAIT_SECONDS" menu_shown || {
    cp "$WORK_DIR/shot.png" "$PWD/gameplay-menu-failed.png" 2>/dev/null
    fail "no menu over a sky-blue level 0 with player 1 on its start cell"
}
cp "$WORK_DIR/shot.png" "$PWD/gameplay-menu.png"
echo "menu shown over level 0"

# Any key but Escape starts a game: the menu goes, and at the first step (after the countdown)
# player 1 leaves its start cell.
press_key() { xdotool key --window "$window_id" s; }
menu_gone() { shoot && ! at_least "$(share "$LIGHT" "$MENU_PANEL")" 0.5; }
act_until "$WAIT_SECONDS" press_key menu_gone || fail "the menu stayed after a key press"
echo "game started"
first_step_taken() { shoot && ! at_least "$(share "$ORANGE" "$PLAYER_1_START")" 0.01; }
poll "$WAIT_SECONDS" first_step_taken || {
    cp "$WORK_DIR/shot.png" "$PWD/gameplay-playing-failed.png" 2>/dev/null
    fail "player 1 never left its start cell"
}
cp "$WORK_DIR/shot.png" "$PWD/gameplay-playing.png"
echo "players moving"

"$closer" "$window_id" || fail "could not send the close request"
wait_exit "$program_pid"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after closing the window: $(cat "$WORK_DIR/program.log")"
echo "closed: exit status 0"
