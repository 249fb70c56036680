# The settings and the turn keys in the real Linux program: in the menu, three players, level 3,
# the music off, player 2 an easy computer, and player 1 given J and K by a right click on its
# controls; the settings file holds them once the program has quit. At the next start the menu
# shows them again, and in a game player 1's old Q is dead (it walks on up from its start in the
# bottom left corner) while J turns it off the board's left edge. The screenshots of both menus
# are kept (settings-keys-*.png).
# Usage: settings_keys.sh PROGRAM SCREEN_WATCH
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"
. "$(dirname "$0")/game_screens.sh"

program=$1 SCREEN_WATCH=$2
SHOT_PREFIX=settings-keys
[ -x "$program" ] || skip "no program at $program"
[ -x "$SCREEN_WATCH" ] || skip "no screen watcher at $SCREEN_WATCH"
need_tools Xvfb xdotool xwininfo convert
xvfb_start
SETTINGS=$XDG_CONFIG_HOME/quibbet/quibbet.cfg # e2e_lib.sh gives each test its own places

start() {
    SDL_AUDIODRIVER=dummy "$program" >>"$WORK_DIR/program.log" 2>&1 &
    program_pid=$!
    STARTED_PIDS+=($program_pid)
    play_in_a_window
    see "intro-$1" "$WAIT_SECONDS" "${STAGE_INTRO[@]}"
    vkey Return
    see "title-$1" "$WAIT_SECONDS" "${STAGE_TITLE[@]}"
    vkey Return
}
quit() {
    vkey Escape
    see "credits-$1" "$WAIT_SECONDS" "${STAGE_CREDITS[@]}"
    vkey Escape
    wait_exit "$program_pid"
    [ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after Escape in the credits"
}
holds() { grep -qx "$1" "$SETTINGS" 2>/dev/null; }
all_held() { for line in "$@"; do holds "$line" || return 1; done; }
# A computer's picture has lit eyes where a person's shows the tops of two key caps; the third
# player's picture stands only with three players or more.
eyes() { echo "glass@572,$((151 + 60 * $1)),16,6$2"; }
third_shown="sky@565,268,30,16<=0.3"
CHOSEN=("players 3" "level 3" "music off" "player2 easy" "keys1 J K")

start first
see menu-first "$WAIT_SECONDS" "${STAGE_MENU[@]}" "$(eyes 1 '<=0.01')" "sky@565,268,30,16>=0.9"
[ ! -e "$SETTINGS" ] || fail "a settings file before any choice: $(cat "$SETTINGS")"
vclick 303 208 # three players
vclick 311 266
vclick 311 266 # level 3: player 1 starts in the bottom left corner, facing up
vclick 289 456 # the music off
vclick 580 216 # player 2: an easy computer
vclick 580 156 3
see remap-asked "$WAIT_SECONDS" 'cream@225,112,150,36>=0.4'
vkey Escape # keeps the old keys
see remap-cancelled "$WAIT_SECONDS" 'cream@225,112,150,36<=0.05' "${STAGE_MENU[@]}"
vclick 580 156 3
see remap-asked-again "$WAIT_SECONDS" 'cream@225,112,150,36>=0.4'
vkey Left # player 2's key: refused, still asking
vkey j k
poll "$WAIT_SECONDS" holds "keys1 J K" || fail "the new keys not written: $(cat "$SETTINGS" 2>&1)"
see menu-chosen "$WAIT_SECONDS" "${STAGE_MENU[@]}" 'cream@225,112,150,36<=0.05' "$(eyes 1 '>=0.05')" "$third_shown"
quit first
all_held "${CHOSEN[@]}" || fail "the choices not all kept: $(cat "$SETTINGS")"
echo "kept: ${CHOSEN[*]}"

start again
see menu-again "$WAIT_SECONDS" "${STAGE_MENU[@]}" "$(eyes 1 '>=0.05')" "$third_shown" "$(cell orange 0 9 '>=0.05')"
vkey s
see ready "$WAIT_SECONDS" "${STAGE_READY[@]}"
vkey q
# Q no longer turns player 1: the first step takes it up from its start, on the board.
see walked-up "$WAIT_SECONDS" "$(cell orange 0 8 '>=0.04')" "$(cell orange 0 9 '<=0.01')" 'cream@255,170,90,140<=0.02'
vkey j
see walked-off "$WAIT_SECONDS" 'orange@40,40,40,400<=0.002' 'cream@255,170,90,140<=0.02'
quit again
all_held "${CHOSEN[@]}" || fail "the choices changed by playing: $(cat "$SETTINGS")"
echo "PASS: the choices and the new keys kept across a restart; Q dead, J turns player 1"
