# The real Linux program with no audio output at all: the intro, the title (its music cannot
# start, and nothing is said about it), the menu and a started game all show; the first effect
# (the "tic" of the first step) then ends the program with exactly the effects device's line on
# standard error and status 1, having printed nothing on standard output.
# Usage: no_audio.sh PROGRAM SCREEN_WATCH
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"
. "$(dirname "$0")/game_screens.sh"

program=$1 SCREEN_WATCH=$2
SHOT_PREFIX=no-audio
[ -x "$program" ] || skip "no program at $program"
[ -x "$SCREEN_WATCH" ] || skip "no screen watcher at $SCREEN_WATCH"
need_tools Xvfb xdotool xwininfo convert
xvfb_start

SDL_AUDIODRIVER=no-such-output "$program" >"$WORK_DIR/out" 2>"$WORK_DIR/err" &
program_pid=$!
STARTED_PIDS+=($program_pid)

play_in_a_window

see intro "$WAIT_SECONDS" "${STAGE_INTRO[@]}"
see title "$WAIT_SECONDS" "${STAGE_TITLE[@]}"
see menu "$WAIT_SECONDS" "${STAGE_MENU[@]}"
vkey s
see ready "$WAIT_SECONDS" "${STAGE_READY[@]}"
wait_exit "$program_pid"
[ "$EXIT_STATUS" -eq 1 ] || fail "exit status $EXIT_STATUS, expected 1"
# The system's libraries may say things of their own on standard error; the game's line is the
# last one, whole.
[ "$(tail -n 1 "$WORK_DIR/err")" = "unable to open WAVE_MAPPER device" ] &&
    [ "$(tail -c 1 "$WORK_DIR/err" | od -An -tx1 | tr -d ' ')" = 0a ] ||
    fail "standard error ended with: $(tail -n 3 "$WORK_DIR/err")"
[ -s "$WORK_DIR/out" ] && fail "standard output was: $(head -n 3 "$WORK_DIR/out")"
echo "PASS: the game showed up to the first effect, then the exact line and status 1"
