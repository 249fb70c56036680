# quibbet.exe under wine on Xvfb: the question is answered (No, then in a second run Yes), the
# window titled "Vorlump - Quibbet 2013" appears, and closing it ends the program with status 0.
# Usage: wine_window.sh EXE CLOSER
. "$(dirname "$0")/e2e_lib.sh"

exe=$1 closer=$2
[ -f "$exe" ] || skip "no Windows build at $exe (build the windows preset first)"
[ -x "$closer" ] || skip "no window closer at $closer"
need_tools wine wineserver Xvfb xdotool xwininfo
# The first start creates the prefix, which takes long on a loaded machine.
WAIT_SECONDS=${WINE_WAIT_SECONDS:-180}

# A private prefix in the build tree, kept between runs so that only the first run pays for it.
export WINEPREFIX="${QUIBBET_BUILD:-$WORK_DIR}/wineprefix-e2e-window"
wine_settings_clear
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wineserver() { wineserver -k 2>/dev/null; }
cleanup_hooks+=(stop_wineserver)

xvfb_start
if ! wineboot --init >"$WORK_DIR/wineboot.log" 2>&1; then
    skip "wine cannot start here: $(tail -n 3 "$WORK_DIR/wineboot.log")"
fi

find_visible() { find_window wine_titled_windows "$1"; }
is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
is_game_window() { [ "$2" -ge 400 ] && [ "$3" -ge 400 ]; }

# run_once KEY: starts the exe, answers the question with KEY, waits for the game window,
# closes it and checks the status. Prints the window size.
run_once() {
    local key=$1 box_id window_id pid
    wine "$exe" >"$WORK_DIR/wine.log" 2>&1 &
    pid=$!
    STARTED_PIDS+=($pid)
    poll "$WAIT_SECONDS" find_visible is_box || fail "no question box titled \"$TITLE\""
    read -r box_id _ <<<"$FOUND"
    answer() {
        box_shown "$box_id" || return 0
        xdotool mousemove --window "$box_id" 10 10
        xdotool windowfocus "$box_id" 2>/dev/null
        xdotool key "$key"
    }
    act_until "$WAIT_SECONDS" answer find_visible is_game_window || fail "no window titled \"$TITLE\" after $key"
    read -r window_id WINDOW_WIDTH WINDOW_HEIGHT <<<"$FOUND"
    echo "answered with $key: window $window_id ${WINDOW_WIDTH}x$WINDOW_HEIGHT"
    "$closer" "$window_id" || fail "could not send the close request"
    wait_exit "$pid"
    [ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after closing the window: $(tail -n 5 "$WORK_DIR/wine.log")"
    echo "closed: exit status 0"
}

run_once n # the No button's access key
# 1280 x 720 is the outer size: the client area inside the frame is a little smaller.
[ "$WINDOW_WIDTH" -le 1280 ] && [ "$WINDOW_WIDTH" -gt 1200 ] && [ "$WINDOW_HEIGHT" -le 720 ] &&
    [ "$WINDOW_HEIGHT" -gt 640 ] || fail "No gave a ${WINDOW_WIDTH}x$WINDOW_HEIGHT window"
run_once Return # Yes is the default button
[ "$WINDOW_WIDTH" -eq "$SCREEN_WIDTH" ] && [ "$WINDOW_HEIGHT" -eq "$SCREEN_HEIGHT" ] ||
    fail "Yes gave a ${WINDOW_WIDTH}x$WINDOW_HEIGHT window, not the screen"
