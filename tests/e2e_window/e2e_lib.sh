# Shared helpers of the window tests: a private X server, polling, window lookup, clean-up.
# Sourced by the test scripts; every wait polls with a generous limit instead of sleeping a
# fixed time, because the tests run in parallel on a loaded machine.

TITLE="Vorlump - Quibbet 2013"
SCREEN_WIDTH=1600
SCREEN_HEIGHT=1000
WAIT_SECONDS=${WAIT_SECONDS:-60}
# The system's software GL rasterises on worker threads by default, and on a busy machine it can
# deadlock there (seen in a swap right after a window resize); on the calling thread it cannot.
export LP_NUM_THREADS=0
. "$(dirname "${BASH_SOURCE[0]}")/../own_processes.sh"

skip() {
    echo "SKIP: $*"
    exit 77
}

fail() {
    echo "FAIL: $*"
    exit 1
}

need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
    done
}

# Work files of this test run, removed at exit together with every process it started.
WORK_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quibbet-e2e.XXXXXX")
# The game keeps its settings between runs; every test starts from none and leaves none behind:
# on Linux in its own XDG places, under wine (whose prefixes outlive a run) by clearing the
# prefix's settings folder before the game starts.
export XDG_CONFIG_HOME=$WORK_DIR/config XDG_DATA_HOME=$WORK_DIR/data
wine_settings_clear() { rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Quibbet; }
STARTED_PIDS=()
cleanup_hooks=()
cleanup() {
    local hook
    for hook in "${cleanup_hooks[@]}"; do "$hook"; done
    kill_own "${STARTED_PIDS[@]}"
    rm -rf "$WORK_DIR"
}
trap cleanup EXIT

# poll SECONDS COMMAND...: true once COMMAND succeeds, false when the time is up.
poll() {
    local limit=$(($(date +%s) + $1))
    shift
    until "$@"; do
        [ "$(date +%s)" -ge "$limit" ] && return 1
        sleep 0.2
    done
}

# act_until SECONDS ACTION CHECK...: runs ACTION, then waits a few seconds for CHECK, and again
# while time is left. An input sent in the instant a window appears can be lost before the
# window listens. An answer to a box is repeated only while box_shown says the box is there:
# once it has gone, the key would reach the game (and skip its intro).
ACT_RETRY_SECONDS=5
act_until() {
    local limit=$(($(date +%s) + $1)) action=$2
    shift 2
    until "$action" && poll "$ACT_RETRY_SECONDS" "$@"; do
        [ "$(date +%s)" -ge "$limit" ] && return 1
    done
    return 0 # the loop's own status is its last retry's, a failed time check
}

# box_shown ID: the window ID still exists and is mapped.
box_shown() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# xvfb_start [XVFB_OPTION...]: starts Xvfb on a display number it picks itself (no race with
# parallel tests), with any further options given, and exports DISPLAY. Without -noreset the
# server starts over whenever its last client leaves, and a program connecting in that moment
# (right after one of our xwininfo polls, say) is turned away.
xvfb_start() {
    local number_file="$WORK_DIR/display"
    Xvfb -displayfd 3 -screen 0 "${SCREEN_WIDTH}x${SCREEN_HEIGHT}x24" -nolisten tcp -noreset "$@" \
        3>"$number_file" >"$WORK_DIR/xvfb.log" 2>&1 &
    STARTED_PIDS+=($!)
    poll "$WAIT_SECONDS" test -s "$number_file" || fail "Xvfb did not start: $(cat "$WORK_DIR/xvfb.log")"
    export DISPLAY=":$(head -n1 "$number_file")"
    poll "$WAIT_SECONDS" xwininfo -root >/dev/null 2>&1 || fail "display $DISPLAY does not answer"
}

# Prints "ID WIDTH HEIGHT" for every viewable window titled exactly $TITLE, from the tree of
# the whole display (client windows of programs without a window manager are children of the
# root).
titled_windows() {
    local id
    xwininfo -root -tree | awk -v t="\"$TITLE\":" 'index($0, t) { print $1 }' | while read -r id; do
        xwininfo -id "$id" 2>/dev/null | awk -v id="$id" '
            /Width:/ { w = $2 } /Height:/ { h = $2 } /Map State: IsViewable/ { v = 1 }
            END { if (v) print id, w, h }'
    done
}

# Windows under wine carry their title as an X window name, found with xdotool; prints
# "ID WIDTH HEIGHT" for each, as titled_windows does.
wine_titled_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null); do
        xwininfo -id "$id" | awk -v id="$id" '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print id, w, h }'
    done
}

# find_window LISTER PREDICATE: puts the first window LISTER prints that satisfies PREDICATE
# (called with ID WIDTH HEIGHT) into FOUND.
FOUND=""
find_window() {
    local lister=$1 predicate=$2 line
    while read -r line; do
        # shellcheck disable=SC2086
        if [ -n "$line" ] && "$predicate" $line; then
            FOUND=$line
            return 0
        fi
    done < <("$lister")
    return 1
}

# wait_titled_window PREDICATE: waits until a titled window satisfies PREDICATE and puts its
# line into FOUND.
find_titled_window() { find_window titled_windows "$1"; }
wait_titled_window() {
    poll "$WAIT_SECONDS" find_titled_window "$1"
}

# wait_exit PID: waits for a program this shell started to end; its status goes to EXIT_STATUS.
EXIT_STATUS=""
is_gone() { ! child_running "$1"; }
wait_exit() {
    poll "$WAIT_SECONDS" is_gone "$1" || fail "process $1 did not end"
    wait "$1"
    EXIT_STATUS=$?
}

# The fullscreen game window (SCREEN_WIDTH x SCREEN_HEIGHT): the 640 x 480 screen fills the
# 1000-pixel height, 25 / 12 window pixels a virtual pixel, with bars of 133 pixels left and right.
SCALE_NUM=25 SCALE_DEN=12 LEFT=133
# region VX VY VW VH: the window rectangle of a virtual one, as convert's geometry.
region() {
    echo "$(($3 * SCALE_NUM / SCALE_DEN))x$(($4 * SCALE_NUM / SCALE_DEN))+$((LEFT + $1 * SCALE_NUM / SCALE_DEN))+$(($2 * SCALE_NUM / SCALE_DEN))"
}
# shoot: the window $window_id into $WORK_DIR/shot.png.
shoot() { import -window "$window_id" "$WORK_DIR/shot.png" 2>/dev/null; }
# share RGB-RANGE GEOMETRY: the share (0..1) of the shot's region whose colour lies in the
# range, given as convert -fx conditions on r, g, b (0..1).
share() {
    convert "$WORK_DIR/shot.png" -crop "$2" +repage -fx "$1 ? 1 : 0" -colorspace gray -format '%[fx:mean]' info:
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
