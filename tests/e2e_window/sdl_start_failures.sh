# The Linux program where the display lets it down: each failure is one line with the system's
# reason on standard error, and the program either plays on (and ends with status 0 when the
# player closes it) or ends at once with status 1.
# Usage: sdl_start_failures.sh MODE PROGRAM CLOSER
#   no_display  no X server at all: the line, then the end
#   no_fonts    an X server with only its built-in fonts, as without the font packages: the
#               question cannot be drawn, the line, then the windowed game
#   no_glx      and no GL either: the window cannot be created, the line, then the end
. "$(dirname "$0")/e2e_lib.sh"

mode=$1 program=$2 closer=$3
[ -x "$program" ] || skip "no program at $program"
[ -x "$closer" ] || skip "no window closer at $closer"

start_program() {
    "$program" >"$WORK_DIR/out.log" 2>"$WORK_DIR/err.log" &
    program_pid=$!
    STARTED_PIDS+=($program_pid)
}

# expect_one_line PATTERN: standard error is exactly one line, matching the extended PATTERN.
expect_one_line() {
    local lines
    lines=$(wc -l <"$WORK_DIR/err.log")
    [ "$lines" -eq 1 ] && grep -Eq "$1" "$WORK_DIR/err.log" ||
        fail "standard error is not one line like \"$1\": $(cat "$WORK_DIR/err.log")"
    echo "standard error: $(cat "$WORK_DIR/err.log")"
}

# ended_with STATUS
ended_with() {
    wait_exit "$program_pid"
    [ "$EXIT_STATUS" -eq "$1" ] || fail "exit status $EXIT_STATUS, expected $1"
}

case $mode in
no_display)
    unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
    # A login session has its runtime folder, without which the Wayland library has its own say.
    export XDG_RUNTIME_DIR="$WORK_DIR/run"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    start_program
    ended_with 1
    expect_one_line '^quibbet: cannot open a window: .+$'
    ;;
no_fonts)
    need_tools Xvfb xwininfo
    xvfb_start -fp built-ins
    start_program
    is_windowed() { [ "$2" -eq 1280 ] && [ "$3" -eq 720 ]; }
    wait_titled_window is_windowed ||
        fail "no 1280x720 window: $(titled_windows); standard error: $(cat "$WORK_DIR/err.log")"
    read -r window_id _ <<<"$FOUND"
    expect_one_line '^quibbet: the fullscreen question could not be shown \(.+\); playing in a window$'
    "$closer" "$window_id" || fail "could not send the close request"
    ended_with 0
    ;;
no_glx)
    need_tools Xvfb xwininfo
    xvfb_start -fp built-ins -extension GLX
    start_program
    ended_with 1
    grep -q 'fullscreen question could not be shown' "$WORK_DIR/err.log" || fail "the question's line is missing"
    sed -i '/fullscreen question/d' "$WORK_DIR/err.log"
    expect_one_line '^quibbet: CreateWindow: .+$'
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
