# The real Linux program played with pads (the SDL backend's test pads, fed from a file): a pad
# press leaves the intro, another the title; with four players and level 1 chosen by clicks, a
# pad starts the game and each pad turns its own player in the countdown, so that every player
# leaves its start cell its own way at the first step; a pad's Back opens the credits and ends
# the program. The screenshot of the turned players is kept (pads-game-turned.png).
# Usage: pads_game.sh PROGRAM SCREEN_WATCH
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"
. "$(dirname "$0")/game_screens.sh"
. "$(dirname "$0")/../e2e_sfx/pulse_server.sh"

program=$1 SCREEN_WATCH=$2
SHOT_PREFIX=pads-game
[ -x "$program" ] || skip "no program at $program"
[ -x "$SCREEN_WATCH" ] || skip "no screen watcher at $SCREEN_WATCH"
need_tools Xvfb xdotool xwininfo convert
xvfb_start
# A private sound server, since the game opens two outputs (the music's and the effects') and the
# dummy output takes only one.
pulse_start

feed=$WORK_DIR/pads
: >"$feed"
QUIBBET_TEST_PAD_FEED=$feed SDL_AUDIODRIVER=pulseaudio "$program" >"$WORK_DIR/program.log" 2>&1 &
program_pid=$!
STARTED_PIDS+=($program_pid)

play_in_a_window
read -r window_id _ <<<"$GAME_WINDOW"
# SDL passes pad presses only to a program that has the keyboard focus, as keys are.
xdotool mousemove --window "$window_id" 10 10 windowfocus "$window_id"

# send LINE...: the program carries them out on its next idle pass. A press is released only
# once it has shown, since a press and its release in one batch cancel out.
send() { printf '%s\n' "$@" >>"$feed"; }
send "attach pad" "attach pad" "attach pad" "attach pad"

see intro "$WAIT_SECONDS" "${STAGE_INTRO[@]}"
send "press 1 a"
see title "$WAIT_SECONDS" "${STAGE_TITLE[@]}"
send "release 1 a" "press 2 a"
see menu "$WAIT_SECONDS" "${STAGE_MENU[@]}"
send "release 2 a"
vclick 328 208 # 4 players
vclick 311 266 # level 1
see menu-level-1 "$WAIT_SECONDS" "${STAGE_MENU[@]}" "$(cell grass 1 0 '>=0.3')" 'glass@600,310,40,50>=0.15'
send "press 3 start"
see ready "$WAIT_SECONDS" "${STAGE_READY[@]}"
# Player 1 turns west, 2 and 3 east, 4 (facing down) east as well.
send "release 3 start" "press 1 leftshoulder" "press 2 x" "press 3 b" "press 4 leftshoulder"
see turned "$WAIT_SECONDS" "$(cell orange 4 4 '>=0.05')" "$(cell orange 5 4 '<=0.005')" 'cream@255,170,90,140<=0.02'
send "release 1 leftshoulder" "release 2 x" "release 3 b" "release 4 leftshoulder" "press 1 back"
see credits "$WAIT_SECONDS" "${STAGE_CREDITS[@]}"
send "release 1 back" "press 2 back"
wait_exit "$program_pid"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after Back in the credits"
echo "Back in the credits: exit status 0"
