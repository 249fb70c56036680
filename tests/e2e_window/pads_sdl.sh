# Game pads in the Linux program under Xvfb, driven from outside through the SDL backend's test
# pads (SDL virtual joysticks fed from a file): presses become their players' keys and clicks,
# releases, sticks and triggers make nothing, and pads take and free their numbers as they come
# and go. PROGRAM is the pad probe, whose clear colour spells the last event it read.
# Usage: pads_sdl.sh PROGRAM CLOSER
. "$(dirname "$0")/e2e_lib.sh"

program=$1 closer=$2
[ -x "$program" ] || skip "no program at $program"
[ -x "$closer" ] || skip "no window closer at $closer"
need_tools Xvfb xdotool xwininfo import convert
xvfb_start

feed=$WORK_DIR/pads
: >"$feed"
QUIBBET_TEST_PAD_FEED=$feed "$program" >"$WORK_DIR/program.log" 2>&1 &
program_pid=$!
STARTED_PIDS+=($program_pid)

# Any answer to the fullscreen question will do (a box that cannot be drawn counts as No).
is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
is_game_window() { [ "$2" -ge 640 ] && [ "$3" -ge 480 ]; }
answer_if_asked() {
    local box_id box_width
    if find_titled_window is_box; then
        read -r box_id box_width _ <<<"$FOUND"
        xdotool mousemove --window "$box_id" $((box_width / 2)) 5 key Return
    fi
    find_titled_window is_game_window
}
poll "$WAIT_SECONDS" answer_if_asked || fail "no game window: $(titled_windows)"
read -r window_id _ <<<"$FOUND"
# SDL passes pad presses only to a program that has the keyboard focus, as keys are.
xdotool mousemove --window "$window_id" 10 10 windowfocus "$window_id"

# The clear colour at a point of the drawn area that no sprite covers.
probe_colour() {
    import -window "$window_id" "$WORK_DIR/shot.png" 2>/dev/null || return 1
    convert "$WORK_DIR/shot.png" -format '%[fx:int(255*p{300,20}.r+0.5)] %[fx:int(255*p{300,20}.g+0.5)] %[fx:int(255*p{300,20}.b+0.5)]' info:
}
shows() { [ "$(probe_colour)" = "$*" ]; }
# send LINE...: appends lines to the feed; the program carries them out on its next idle pass.
send() { printf '%s\n' "$@" >>"$feed"; }
# expect WHAT R G B: waits for the colour of the event the last lines must have made.
expect() {
    local what=$1
    shift
    poll "$WAIT_SECONDS" shows "$@" || {
        cp "$WORK_DIR/shot.png" "$PWD/pads-failed.png" 2>/dev/null
        fail "$what: the probe shows $(probe_colour), not $*; log: $(tail -n 5 "$WORK_DIR/program.log")"
    }
    echo "ok: $what"
}
KEY=80 MOUSE_OUTSIDE=160

expect "the probe is up" 0 0 40
send "attach pad" "press 1 a"
expect "pad 1, plugged in while running: A is Return" 1 13 $KEY
# Sticks, triggers and the release make nothing: the next press is only the second event.
send "release 1 a" "axis 1 0 32767" "axis 1 1 -32768" "axis 1 4 32767" "axis 1 5 32767" "press 1 rightshoulder"
expect "pad 1: right shoulder is W; release, sticks and triggers made nothing" 2 87 $KEY
send "release 1 rightshoulder" "axis 1 4 -32768" "attach pad" "attach pad" "attach stick" "press 2 x"
expect "pad 2: X is Left arrow" 3 37 $KEY
send "release 2 x" "press 3 b"
expect "pad 3: B is the right mouse button, outside the screen" 4 1 $MOUSE_OUTSIDE
send "release 3 b" "press 4 2"
expect "pad 4, a joystick without a mapping: its third button is U" 5 85 $KEY
send "release 4 2" "hat 4 2"
cp "$WORK_DIR/shot.png" "$PWD/pads-turned.png" 2>/dev/null # players 1 and 3 right, 2 and 4 left
expect "pad 4: hat right is I" 6 73 $KEY
send "hat 4 0" "press 3 dpleft"
expect "pad 3: d-pad left is the left mouse button" 7 0 $MOUSE_OUTSIDE
send "release 3 dpleft" "press 1 start"
expect "pad 1: Start is Return" 8 13 $KEY

# Pad 2 leaves; the next pad plugged in takes number 2 and the others keep theirs.
send "release 1 start" "detach 2" "attach pad" "press 5 leftshoulder"
expect "a new pad after pad 2 left is pad 2" 9 37 $KEY
send "release 5 leftshoulder" "press 1 leftshoulder"
expect "pad 1 is still pad 1" 10 81 $KEY
# A fifth pad is ignored: only the press of pad 4 counts.
send "release 1 leftshoulder" "attach pad" "press 6 a" "press 4 6"
expect "a fifth pad does nothing; Back is Escape" 11 27 $KEY
cp "$WORK_DIR/shot.png" "$PWD/pads.png" 2>/dev/null

"$closer" "$window_id" || fail "could not send the close request"
wait_exit "$program_pid"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after closing the window"
echo "closed: exit status 0"
