# The real Linux program with computer players: in the menu, four players on level 2 and a click
# on the controls pictures of players 2 to 4 hands them to the computer, a second makes it a normal
# one (their pictures change);
# player 1, the one person, turns off the edge in the countdown and falls at the first step;
# the computers play on until one of them has won. Three computers left alone may also end a
# game together (the last two falling at once, or the computers-only limit): then the menu
# returns and the person plays the next game the same way, up to GAMES games. The screenshots of
# the menu with the computer pictures and of the won game are kept (computer-game-*.png).
# Usage: computer_game.sh PROGRAM SCREEN_WATCH
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"
. "$(dirname "$0")/game_screens.sh"
. "$(dirname "$0")/../e2e_sfx/pulse_server.sh"

program=$1 SCREEN_WATCH=$2
SHOT_PREFIX=computer-game
GAMES=4
# Forty steps of 0.75 s at most once only computers stand, and the wait for the menu after it.
GAME_SECONDS=120
[ -x "$program" ] || skip "no program at $program"
[ -x "$SCREEN_WATCH" ] || skip "no screen watcher at $SCREEN_WATCH"
need_tools Xvfb xdotool xwininfo convert
xvfb_start
# The game opens two outputs (the music's and the effects'); the dummy output takes only one.
pulse_start

SDL_AUDIODRIVER=pulseaudio "$program" >"$WORK_DIR/program.log" 2>&1 &
program_pid=$!
STARTED_PIDS+=($program_pid)

play_in_a_window
see intro "$WAIT_SECONDS" "${STAGE_INTRO[@]}"
vkey Return
see title "$WAIT_SECONDS" "${STAGE_TITLE[@]}"
vkey Return
see menu "$WAIT_SECONDS" "${STAGE_MENU[@]}"

# A computer's picture has two lit eyes where a person's shows the tops of two key caps.
eyes() { echo "glass@572,$((151 + 60 * $1)),16,6$2"; }
vclick 328 208 # four players
vclick 311 266
vclick 311 266 # level 2: player 1 starts in the bottom left corner, facing up
for slot in 1 2 3; do vclick 580 $((156 + 60 * slot)) && vclick 580 $((156 + 60 * slot)); done
see menu-computers "$WAIT_SECONDS" "${STAGE_MENU[@]}" "$(eyes 0 '<=0.01')" "$(eyes 1 '>=0.1')" "$(eyes 2 '>=0.1')" \
    "$(eyes 3 '>=0.1')" "$(cell orange 0 9 '>=0.05')"

# won_by SLOT: the frame shows a 1 in that slot's score and a 0 in player 1's.
won_by() {
    local id
    read -r id _ <<<"$GAME_WINDOW"
    "$SCREEN_WATCH" "$id" 1 "$WORK_DIR/won.ppm" "$(score_one "$1")" "$(score_zero 0)" >/dev/null
}
# menu_back: the menu is there again.
menu_back() {
    "$SCREEN_WATCH" "$(cut -d' ' -f1 <<<"$GAME_WINDOW")" 1 "$WORK_DIR/menu-again-$game.ppm" "${STAGE_MENU[@]}" >/dev/null
}
winner=""
for game in $(seq "$GAMES"); do
    vkey s
    see "ready-$game" "$WAIT_SECONDS" "${STAGE_READY[@]}"
    vkey q # facing left, at the board's left edge
    see "walked-off-$game" "$WAIT_SECONDS" 'orange@40,40,40,400<=0.002' 'cream@255,170,90,140<=0.02'
    limit=$(($(date +%s) + GAME_SECONDS))
    ended=""
    until [ -n "$ended" ]; do
        [ "$(date +%s)" -lt "$limit" ] || fail "game $game neither won nor over after $GAME_SECONDS s"
        for slot in 1 2 3; do won_by "$slot" && winner=$((slot + 1)) && ended=won && break; done
        [ -z "$ended" ] && menu_back && ended=together
    done
    [ -n "$winner" ] && break
    echo "game $game: the computers ended it together (menu-again-$game.png); the next game"
done
[ -n "$winner" ] || fail "no computer won in $GAMES games"
echo "player $winner, a computer, won game $game"
mv "$WORK_DIR/won.ppm" "$WORK_DIR/won-game.ppm"

vkey Escape
see credits "$WAIT_SECONDS" "${STAGE_CREDITS[@]}"
vkey Escape
wait_exit "$program_pid"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after Escape in the credits"
echo "PASS: one person against three computers, the person walked off and a computer won"
