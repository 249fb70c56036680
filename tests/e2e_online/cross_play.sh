# One room played on every kind of machine at once, on a quibbet-server of its own on the loopback
# that also serves the browser build: the Linux program (under an X server of its own), which has
# played on that server before, opens a room with the button beside the menu's sound panel and
# prints the room's links; quibbet.exe under wine (on its own X server) joins with the game's link;
# a page in headless chromium joins with the browser's link, and a phone (another chromium, touch
# emulated, upright) opens the same link and answers the question with Controller: it shows
# player 4's two turn buttons. Two fingers on them at once in the menu; the opener picks four
# players and starts; each turns its own player once (keys on the three screens, a finger on the
# phone's left button) and the game is decided (one where the last fall together is played again): the same
# player's score shows 1 on all three screens, whose pictures are kept (online-*.png,
# web-online-*.png, web-phone-*.png). When all have left, the
# server's line for the room says its checksums were compared at hundreds of ticks from all three
# screens and never differed, and every seat's inputs reached it, the phone's three among them.
# Usage: cross_play.sh PROGRAM EXE SERVER WEB_DIR SCREEN_WATCH
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"
. "$(dirname "$0")/../e2e_whole/game_screens.sh"
. "$(dirname "$0")/../e2e_sfx/pulse_server.sh"
. "$(dirname "$0")/room_machines.sh"

program=$1 exe=$2 server=$3 web_dir=$4 SCREEN_WATCH=$5
here=$(cd "$(dirname "$0")" && pwd)
SHOT_PREFIX=online
[ -x "$program" ] || skip "no program at $program"
[ -f "$exe" ] || skip "no Windows build at $exe (build the windows preset first)"
[ -x "$server" ] || skip "no server at $server"
[ -f "$web_dir/quibbet.wasm" ] || skip "no browser build in $web_dir (build the web preset first)"
[ -x "$SCREEN_WATCH" ] || skip "no screen watcher at $SCREEN_WATCH"
need_tools Xvfb xdotool xwininfo convert wine wineserver chromium chromedriver
/usr/bin/python3 -c 'import selenium, PIL' 2>/dev/null || skip "python3-selenium and python3-pil are needed"
# Four programs, a server and two browsers on a small machine, wine's first start among them.
WAIT_SECONDS=${WINE_WAIT_SECONDS:-180}
cleanup_hooks+=(keep_shots)
# Each program opens two outputs (the music's and the effects'); the dummy output takes only one.
pulse_start

server_start "$server" --web "$web_dir"
open_room opener "127.0.0.1:$server_port"
link=$room_link
page_link=$(grep -o 'http://[^ ]*/#[A-Z0-9]\{6\}' "$WORK_DIR/opener.out" | head -n1)
code=${link##*/}
echo "room links: $link $page_link"
# joined SEAT: the server has given that seat to a machine.
joined() { grep -q "room $code: .* joined, seats $1" "$WORK_DIR/server.log"; }

# quibbet.exe joins with the game's link: Yes to the question (its own frame would lie around a
# window's picture), the whole screen; windows under wine are found by name.
xvfb_start
export WINEPREFIX="${QUIBBET_BUILD:-$WORK_DIR}/wineprefix-e2e-online" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_settings_clear
stop_wineserver() { wineserver -k 2>/dev/null; }
cleanup_hooks+=(stop_wineserver)
timeout 300 wineboot --init >"$WORK_DIR/wineboot.log" 2>&1 || skip "wine cannot start here: $(tail -n 3 "$WORK_DIR/wineboot.log")"
wine "$exe" "$link" >"$WORK_DIR/wine.out" 2>&1 &
wine_pid=$!
STARTED_PIDS+=($wine_pid)
find_wine_window() { find_window wine_titled_windows "$1"; }
is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
is_fullscreen() { [ "$2" -eq "$SCREEN_WIDTH" ] && [ "$3" -eq "$SCREEN_HEIGHT" ]; }
poll "$WAIT_SECONDS" find_wine_window is_box || fail "no question box from quibbet.exe: $(tail -n 5 "$WORK_DIR/wine.out")"
read -r box_id box_width _ <<<"$FOUND"
answer_yes() {
    box_shown "$box_id" || return 0
    xdotool mousemove --window "$box_id" $((box_width / 2)) 5
    xdotool windowfocus "$box_id" 2>/dev/null
    xdotool key Return
}
act_until "$WAIT_SECONDS" answer_yes find_wine_window is_fullscreen || fail "no game window from quibbet.exe"
wine_display=$DISPLAY wine_window=$FOUND
poll "$WAIT_SECONDS" joined 2 || fail "quibbet.exe did not take seat 2: $(cat "$WORK_DIR/server.log"; cat "$WORK_DIR/wine.out")"
on wine see wine-menu "$WAIT_SECONDS" "${STAGE_MENU[@]}"

# The browser's seats, driven through web_seats.py one line at a time.
coproc WEB { exec /usr/bin/python3 "$here/web_seats.py" "$SCREEN_WATCH" "$here/../e2e_whole/game_screens.sh" 2>"$WORK_DIR/web.err"; }
STARTED_PIDS+=($WEB_PID)
WEB_REPLY=""
web() {
    local reply
    echo "$*" >&"${WEB[1]}"
    read -r reply <&"${WEB[0]}" || fail "the browsers stopped at \"$*\": $(tail -n 5 "$WORK_DIR/web.err")"
    [[ $reply == ok* ]] || fail "the browsers at \"$*\": $reply"
    WEB_REPLY=${reply#ok }
}
# web_see STAGE CHECK...: the screen page's canvas, as see does for a window.
web_see() {
    local stage=$1
    shift
    web "see $stage $(printf '%q ' "$@")"
}
web screen "$page_link"
poll "$WAIT_SECONDS" joined 3 || fail "the page did not take seat 3: $(cat "$WORK_DIR/server.log")"
web_see online-browser-menu "${STAGE_MENU[@]}"
web phone "$page_link"
web seat 4
echo "the phone says: $WEB_REPLY"
[[ $WEB_REPLY == *"PLAYER 4 IN ROOM $code"* ]] || fail "the phone's line does not name its player: $WEB_REPLY"
joined 4 || fail "the phone did not take seat 4: $(cat "$WORK_DIR/server.log")"
web both # a thumb on each, at once: two turns the menu lets go (only its owner starts a game)

on opener vclick 328 208 # four players, seen on every screen
for name in opener wine; do on "$name" see "$name-menu-4" "$WAIT_SECONDS" "${STAGE_MENU[@]}" "$(score_zero 3)"; done
web_see online-browser-menu-4 "${STAGE_MENU[@]}" "$(score_zero 3)"
winner=""
any_won() {
    local slot
    for slot in 0 1 2 3; do won_by opener "$slot" && winner=$slot && return 0; done
    return 1
}
# A game ends with one player standing, or with none when the last ones fall together: then the
# opener starts another, until one is won.
for game in 1 2 3 4 5; do
    on opener vkey Return
    on opener see "opener-ready-$game" "$WAIT_SECONDS" "${STAGE_READY[@]}"
    # Each turns its own player within the countdown: player 1 right and the others left, after
    # which the four meet so that player 4 is left standing (any other end is fine too, if late).
    on opener vkey w
    on wine vkey q
    web key q
    web tap left
    on opener see "opener-over-$game" 240 "${STAGE_MENU[@]}"
    any_won && break
    echo "game $game: nobody left standing"
done
[ -n "$winner" ] || fail "five games ended with nobody standing"
poll 60 won_by wine "$winner" || fail "quibbet.exe did not see player $((winner + 1)) win"
web_see online-browser-won "$(score_one "$winner")"
web shot web-phone-won
echo "seen: player $((winner + 1)) won on all three screens"

grep -q 'quibbet:' "$WORK_DIR/opener.err" && fail "the opener said: $(cat "$WORK_DIR/opener.err")"

# Everyone leaves; the room's end says how far its machines were compared.
eval "exec ${WEB[1]}>&-"
wait "$WEB_PID"
kill "$opener_pid" "$wine_pid" 2>/dev/null
wineserver -k 2>/dev/null
closed() { grep -q "room $code closed" "$WORK_DIR/server.log"; }
poll "$WAIT_SECONDS" closed || fail "the room never closed: $(tail -n 20 "$WORK_DIR/server.log")"
summary=$(grep "room $code closed" "$WORK_DIR/server.log")
echo "$summary"
all_three=$(grep -o '[0-9]* ticks from 3 machines' <<<"$summary" | grep -o '^[0-9]*')
[ "${all_three:-0}" -ge 400 ] || fail "the three screens' checksums were compared at only ${all_three:-0} ticks"
[[ $summary == *"differed 0 times"* ]] || fail "a machine differed"
read -r -a inputs <<<"$(grep -o 'inputs by seat [0-9 ]*' <<<"$summary" | cut -d' ' -f4-)"
for seat in 0 1 2; do [ "${inputs[seat]:-0}" -ge 1 ] || fail "no input of seat $((seat + 1)) reached the room"; done
[ "${inputs[3]:-0}" -ge 3 ] || fail "only ${inputs[3]:-0} of the phone's three turns reached the room"
echo "PASS"
