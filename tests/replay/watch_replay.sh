#!/usr/bin/env bash
# A game recorded as it is played in the real program under Xvfb, then `quibbet --replay`
# showing it: it starts at the countdown, plays to the same end (the winner's score on the
# panel, the game's own check of its rules' checksum against the recording) and leaves the
# menu on screen. Screenshots stay in the build tree (replay-played.png, replay-watched.png).
# Usage: watch_replay.sh PROGRAM CLOSER
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"

program=$1 closer=$2
[ -x "$program" ] || skip "no program at $program"
[ -x "$closer" ] || skip "no window closer at $closer"
need_tools Xvfb xdotool xwininfo import convert
xvfb_start
export XDG_DATA_HOME="$WORK_DIR/data"
kept="$XDG_DATA_HOME/quibbet"
export XDG_CONFIG_HOME="$WORK_DIR/config"
settings="$XDG_CONFIG_HOME/quibbet/quibbet.cfg"

LIGHT='r>0.7 && g>0.7 && b>0.6'
MENU_PANEL=$(region 250 170 100 140)
# Player 1 is orange.
ORANGE='r>0.75 && g>0.25 && g<0.6 && b<0.25'
# The first menu: its light panel over the board and player 1 on its start cell (the title has
# no players).
first_menu_shown() {
    shoot && at_least "$(share "$LIGHT" "$MENU_PANEL")" 0.5 && at_least "$(share "$ORANGE" "$(region 160 120 40 40)")" 0.05
}
menu_shown() { shoot && at_least "$(share "$LIGHT" "$MENU_PANEL")" 0.5; }
menu_gone() { shoot && ! at_least "$(share "$LIGHT" "$MENU_PANEL")" 0.5; }

# start [OPTION...]: the program, the fullscreen question answered Yes; its window in window_id.
start() {
    # Any output that opens will do; the sound has tests of its own.
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$program" "$@" >"$WORK_DIR/program.log" 2>&1 &
    program_pid=$!
    STARTED_PIDS+=($program_pid)
    is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
    is_fullscreen() { [ "$2" -eq "$SCREEN_WIDTH" ] && [ "$3" -eq "$SCREEN_HEIGHT" ]; }
    wait_titled_window is_box || fail "no question box titled \"$TITLE\": $(cat "$WORK_DIR/program.log")"
    read -r box_id box_width box_height <<<"$FOUND"
    # A click on Yes (two thirds across, 70 % down): the keyboard's focus may still be with the
    # window of the program that ran before, which is gone.
    press_return() {
        ! box_shown "$box_id" || xdotool mousemove --window "$box_id" $((box_width * 2 / 3)) $((box_height * 7 / 10)) click 1
    }
    act_until "$WAIT_SECONDS" press_return find_titled_window is_fullscreen ||
        fail "no fullscreen window after Yes: $(cat "$WORK_DIR/program.log")"
    read -r window_id _ <<<"$FOUND"
}
close() {
    "$closer" "$window_id" || fail "could not send the close request"
    wait_exit "$program_pid"
    [ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS: $(cat "$WORK_DIR/program.log")"
}

# The winner's digit on the score panel: the share of its box in the digits' dark ink. Each
# slot's digit stands at (616, 160 + 60 slot), 20 pixels square.
DIGIT_INK='r<0.35 && g<0.35 && b<0.35'
digits() {
    local slot
    for slot in 0 1; do printf '%s ' "$(share "$DIGIT_INK" "$(region 616 $((160 + 60 * slot)) 20 20)")"; done
}

# Played: past the splash and the title, player 2 handed to the computer (a click on its
# controls picture), a game started with a key, player 1 turned now and then while it plays,
# until the replay is kept (the menu is back then).
start
press_s() { xdotool key --window "$window_id" s; }
# A key skips the splash, another the title; one too many would start a game, so each waits for
# the picture it makes.
skip_to_menu() {
    first_menu_shown && return 0
    press_s
    sleep 2
    return 1
}
poll "$WAIT_SECONDS" skip_to_menu || {
    cp "$WORK_DIR/shot.png" "$PWD/replay-menu-failed.png" 2>/dev/null
    fail "no menu after the splash and the title"
}
read -r cx cy <<<"$(region 580 216 0 0 | tr 'x+' '  ' | awk '{ print $3, $4 }')"
xdotool mousemove --window "$window_id" "$cx" "$cy" click 1
act_until "$WAIT_SECONDS" press_s menu_gone || fail "the menu stayed after a key press: $(cat "$WORK_DIR/program.log")"
replay_kept() { ls "$kept"/replay-*.qrp >/dev/null 2>&1; }
# Player 1 turns in the first seconds of play, long before a game with a computer in it ends
# (and never once it has: in the menu a key would start another game).
for key in w q w; do
    sleep 1
    replay_kept || xdotool key --window "$window_id" "$key"
done
poll 180 replay_kept || fail "no replay kept in $kept after the game: $(cat "$WORK_DIR/program.log")"
poll "$WAIT_SECONDS" menu_shown || fail "no menu after the game"
cp "$WORK_DIR/shot.png" "$PWD/replay-played.png"
played=$(digits)
close
last=$(ls "$kept" | tail -n 1)
kept_count=$(ls "$kept" | wc -l)
cp "$kept/$last" "$PWD/replay-played.qrp"
echo "game played and kept: $last, $(stat -c %s "$kept/$last") bytes; digits' ink $played"

# The player's own choices since: another level, player 2 a person again. The replay plays its
# own and leaves these as they are.
[ -f "$settings" ] || fail "no settings kept after the game"
sed -i -e 's/^level .*/level 5/' -e 's/^player2 .*/player2 person/' "$settings"
cp "$settings" "$WORK_DIR/own.cfg"

# Watched: no menu until the recorded game is over, then the same panel.
start --replay
poll "$WAIT_SECONDS" menu_gone || fail "the replay did not start"
poll 180 menu_shown || fail "the replay never came back to the menu"
cp "$WORK_DIR/shot.png" "$PWD/replay-watched.png"
watched=$(digits)
echo "replay watched to the menu; digits' ink $watched"
close
! grep -q "otherwise" "$WORK_DIR/program.log" || fail "$(cat "$WORK_DIR/program.log")"
same() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; exit !(d < 0.05 && d > -0.05) }'; }
read -r p1 p2 <<<"$played"
read -r w1 w2 <<<"$watched"
same "$p1" "$w1" && same "$p2" "$w2" || fail "the score panel differs: played $played, watched $watched"
[ "$(ls "$kept" | wc -l)" -eq "$kept_count" ] || fail "watching kept a replay of its own"
cmp -s "$settings" "$WORK_DIR/own.cfg" || fail "watching changed the settings: $(diff "$WORK_DIR/own.cfg" "$settings")"
echo "the replay ended as the game did"
