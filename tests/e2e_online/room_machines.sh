# Sourced by the online walks after e2e_lib.sh and game_screens.sh: the server of their own on
# the loopback, and the real programs as the machines of a room, each under an X server of its own
# with a home of its own (so its own remembered seat and its own kept replays).

# port_in FILE TEXT: the port number that follows TEXT in FILE, once it is there.
port_in() { grep -o "$2 [0-9]*" "$1" 2>/dev/null | head -n1 | grep -o '[0-9]*$'; }

# server_start SERVER [OPTION...]: the server on 127.0.0.1 at a port it picks; its log is
# $WORK_DIR/server.log, its process server_pid and its port server_port.
server_start() {
    "$1" --listen 127.0.0.1 --port 0 "${@:2}" >"$WORK_DIR/server.log" 2>&1 &
    server_pid=$!
    STARTED_PIDS+=("$server_pid")
    poll "$WAIT_SECONDS" port_in "$WORK_DIR/server.log" 'listening on 127.0.0.1 port' >/dev/null ||
        fail "the server did not start: $(cat "$WORK_DIR/server.log")"
    server_port=$(port_in "$WORK_DIR/server.log" 'listening on 127.0.0.1 port')
}

# start_machine NAME LINK: an X server and $program on it, past the fullscreen question; its
# display, window and process go to NAME_display, NAME_window and NAME_pid. A machine started
# again under the same NAME adds to the same output files.
start_machine() {
    xvfb_start
    mkdir -p "$WORK_DIR/$1-home"
    HOME="$WORK_DIR/$1-home" XDG_CONFIG_HOME="$WORK_DIR/$1-home/config" XDG_DATA_HOME="$WORK_DIR/$1-home/data" \
        SDL_AUDIODRIVER=pulseaudio \
        "$program" ${2:+"$2"} >>"$WORK_DIR/$1.out" 2>>"$WORK_DIR/$1.err" &
    STARTED_PIDS+=($!)
    printf -v "$1_pid" %s $!
    play_in_a_window
    printf -v "$1_display" %s "$DISPLAY"
    printf -v "$1_window" %s "$GAME_WINDOW"
}

# on NAME COMMAND...: runs a helper against that machine's display and window.
on() {
    local name=$1 display window
    shift
    display=${name}_display window=${name}_window
    DISPLAY=${!display} GAME_WINDOW=${!window} "$@"
}

# won_by NAME SLOT: that machine's screen shows a 1 in the slot's score.
won_by() {
    local window=${1}_window
    on "$1" "$SCREEN_WATCH" "$(cut -d' ' -f1 <<<"${!window}")" 1 "$WORK_DIR/$1-won.ppm" "$(score_one "$2")" >/dev/null
}

# open_room NAME ADDRESS: a machine that has played on the server at ADDRESS before opens a room
# with the button beside the menu's sound panel; the link it prints goes to room_link.
open_room() {
    mkdir -p "$WORK_DIR/$1-home/config/quibbet"
    printf 'quibbet://%s/' "$2" >"$WORK_DIR/$1-home/config/quibbet/room-server"
    start_machine "$1" ""
    on "$1" see "$1-local-menu" "$WAIT_SECONDS" "${STAGE_MENU[@]}"
    on "$1" vclick 368 455
    link_printed() { grep -o 'quibbet://[^ ]*/[A-Z0-9]\{6\}' "$WORK_DIR/$1.out" >/dev/null; }
    poll "$WAIT_SECONDS" link_printed "$1" || fail "no room link printed: $(cat "$WORK_DIR/$1.err")"
    room_link=$(grep -o 'quibbet://[^ ]*/[A-Z0-9]\{6\}' "$WORK_DIR/$1.out" | head -n1)
    echo "room link: $room_link"
}
