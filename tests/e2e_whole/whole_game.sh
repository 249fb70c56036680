# The whole program as a player meets it, on a private X server with its sound going to a private
# PulseAudio null sink that parec records. Every stage is waited for on screen and kept as a
# screenshot (SHOT_PREFIX-STAGE.png in the build tree); the recording must hold the song from the
# title on and the game's effects, and nothing once the program has ended.
#  sdl:  the question (No), the intro, the title after its fade, the menu; 3 players and the next
#        level by clicks, a key starts; READY, then turns by keys and a click, GO!; player 2 wins
#        at the second step and the menu comes back with the score; the music switched off (its
#        stream goes at once) and on again; Escape opens the credits, Escape ends: status 0.
#  wine: quibbet.exe, shorter: the question (Yes), a key past the intro, the title, the menu, a started
#        game, the credits, status 0.
# Usage: whole_game.sh sdl PROGRAM SCREEN_WATCH QUIBBET_XM RECORDING_CHECK
#        whole_game.sh wine EXE SCREEN_WATCH QUIBBET_XM RECORDING_CHECK
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"
. "$(dirname "$0")/game_screens.sh"
. "$(dirname "$0")/../e2e_sfx/pulse_server.sh"

mode=$1 program=$2 SCREEN_WATCH=$3 xm=$4 check=$5
SHOT_PREFIX=whole-$mode
song=${QUIBBET_SOURCE:-.}/assets/song.xm
for tool in "$SCREEN_WATCH" "$xm" "$check"; do [ -x "$tool" ] || skip "no tool at $tool"; done
[ -f "$song" ] || skip "no song at $song"
need_tools Xvfb xdotool xwininfo convert
if [ "$mode" = wine ]; then
    [ -f "$program" ] || skip "no Windows build at $program (build the windows preset first)"
    need_tools wine wineserver
    WAIT_SECONDS=${WINE_WAIT_SECONDS:-180} # the first start creates the prefix
else
    [ -x "$program" ] || skip "no program at $program"
fi
MUSIC_RATE=48000

xvfb_start
pulse_start "$MUSIC_RATE"
"$xm" render "$song" "$WORK_DIR/song.wav" >"$WORK_DIR/render.log" || fail "cannot render the song"
recording=$WORK_DIR/recording.raw
record_start "$recording" "$MUSIC_RATE"
recorded() { stat -c %s "$recording"; }

if [ "$mode" = wine ]; then
    export WINEPREFIX="${QUIBBET_BUILD:-$WORK_DIR}/wineprefix-e2e-whole"
    wine_settings_clear
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    stop_wineserver() { wineserver -k 2>/dev/null; }
    cleanup_hooks+=(stop_wineserver)
    # The wine server started here carries the game's sound to the server too: same priority.
    nice -n -11 timeout 300 wineboot --init >"$WORK_DIR/wineboot.log" 2>&1 ||
        skip "wine cannot start here: $(tail -n 3 "$WORK_DIR/wineboot.log")"
    # The game feeds the sound server from ordinary threads; kept ahead of the rest of a busy
    # machine, as a desktop keeps the program in front, so that the server seldom runs dry.
    nice -n -11 wine "$program" >"$WORK_DIR/program.log" 2>&1 &
else
    SDL_AUDIODRIVER=pulseaudio nice -n -11 "$program" >"$WORK_DIR/program.log" 2>&1 &
fi
program_pid=$!
STARTED_PIDS+=($program_pid)

# Wine windows are found by name (xdotool); SDL's among the root's children.
game_windows() { if [ "$mode" = wine ]; then wine_titled_windows; else titled_windows; fi; }
find_game_window() { find_window game_windows "$1"; }
is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
is_fullscreen() { [ "$2" -eq "$SCREEN_WIDTH" ] && [ "$3" -eq "$SCREEN_HEIGHT" ]; }
is_windowed() { [ "$2" -eq 1280 ] && [ "$3" -eq 720 ]; }
poll "$WAIT_SECONDS" find_game_window is_box || fail "no question box titled \"$TITLE\""
read -r box_id box_width _ <<<"$FOUND"
# Linux: No, a 1280 x 720 window, which costs the software renderer less than the whole screen.
# Wine: Yes, since its own frame would lie around a window's picture.
answer_key=Escape expected=is_windowed
[ "$mode" = wine ] && answer_key=Return expected=is_fullscreen
answer() {
    box_shown "$box_id" || return 0
    xdotool mousemove --window "$box_id" $((box_width / 2)) 5
    xdotool windowfocus "$box_id" 2>/dev/null
    xdotool key "$answer_key"
}
act_until "$WAIT_SECONDS" answer find_game_window "$expected" || fail "no game window after $answer_key"
GAME_WINDOW=$FOUND
echo "question answered: window $GAME_WINDOW"

if [ "$mode" = wine ]; then
    see intro "$WAIT_SECONDS" "${STAGE_INTRO[@]}"
    vkey space # any press leaves the intro
    see title "$WAIT_SECONDS" "${STAGE_TITLE[@]}"
    title_at=$(recorded)
    see menu "$WAIT_SECONDS" "${STAGE_MENU[@]}"
    vkey s
    see ready "$WAIT_SECONDS" "${STAGE_READY[@]}"
    # The first step comes 64 ticks after the start, with "tic".
    see playing "$WAIT_SECONDS" "$(cell orange 3 3 '>=0.05')" 'cream@255,170,90,140<=0.02'
    # "tic" opened the effects device, whose first sound takes its time through the compatibility
    # layer; the program's end would cut it off. A second more of the recording lets it through.
    wait_for_size "$recording" $(($(recorded) + MUSIC_RATE * 4))
    vkey Escape
    see credits "$WAIT_SECONDS" "${STAGE_CREDITS[@]}"
    effects=(tic)
else
    see intro "$WAIT_SECONDS" "${STAGE_INTRO[@]}"
    see title "$WAIT_SECONDS" "${STAGE_TITLE[@]}" # the intro ends by itself after 6 s
    title_at=$(recorded)
    see menu "$WAIT_SECONDS" "${STAGE_MENU[@]}" # and the title after 5 s
    vclick 303 208 # 3 players
    vclick 311 266 # the next level: 1, with holes beside the starts
    # Level 1 has grass where level 0 has a hole; the third row of the score panel shows.
    see menu-level-1 "$WAIT_SECONDS" "${STAGE_MENU[@]}" "$(cell grass 1 0 '>=0.3')" 'glass@600,250,40,50>=0.15'
    vkey s
    see ready "$WAIT_SECONDS" "${STAGE_READY[@]}"
    # Within the countdown: player 1 west, player 2 east, player 3 east. Players 1 and 3 walk into
    # holes at the second step; player 2 stays on solid ground and wins.
    vkey q Left
    vclick 300 420 3
    see go "$WAIT_SECONDS" "${STAGE_GO[@]}"
    see menu-player-2-won "$WAIT_SECONDS" "${STAGE_MENU[@]}" "$(score_zero 0)" "$(score_one 1)" "$(score_zero 2)"

    # The music switch: the song's stream (the only one at 48,000 Hz) goes at once and comes back.
    music_streams() { pactl list sink-inputs | grep -c "Sample Specification: s16le 2ch ${MUSIC_RATE}Hz"; }
    no_music() { [ "$(music_streams)" -eq 0 ]; }
    music() { [ "$(music_streams)" -eq 1 ]; }
    music || fail "no music stream while the song plays: $(pactl list short sink-inputs)"
    vclick 289 456
    poll 5 no_music || fail "the music stream stayed after the switch went off"
    echo "music off: its stream is gone"
    vclick 289 456
    poll 5 music || fail "no music stream after the switch went on"
    echo "music on: the song plays again"
    vkey Escape
    see credits "$WAIT_SECONDS" "${STAGE_CREDITS[@]}"
    effects=(tic death winner winner winner)
fi

vkey Escape
wait_exit "$program_pid"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after Escape in the credits: $(tail -n 5 "$WORK_DIR/program.log")"
echo "Escape in the credits: exit status 0"
# Half a second more, so the recording shows what followed the end.
ended_at=$(recorded)
wait_for_size "$recording" $((ended_at + MUSIC_RATE * 2))
record_stop

keep=$PWD/$SHOT_PREFIX-recording.raw
cp "$recording" "$keep"
if command -v sox >/dev/null; then
    sox -t raw -r "$MUSIC_RATE" -e signed -b 16 -c 2 "$recording" -n remix 1 spectrogram -x 1600 -y 257 \
        -t "the whole game ($mode)" -o "$PWD/$SHOT_PREFIX-spectrogram.png"
fi
# The checker allows for the dropouts of a busy sound server; anything else is the game's.
"$check" "$WORK_DIR/song.wav" "$recording" "$title_at" "${effects[@]}" || fail "the recording (kept as $keep)"
echo "PASS: the whole game ($mode)"
