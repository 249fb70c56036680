# Two Linux programs in one room on a quibbet-server of their own on the loopback, each under an
# X server of its own: the first, which has played on that server before, opens a room with the
# button beside the menu's sound panel and prints the room's links; the second joins with the
# printed link. The opener starts a game, each turns its own
# player once, and the game is decided: the same player's score shows 1 on both screens. The server compares every
# closed tick's checksums of both machines and would log a machine that differs: it logs none.
# The two screenshots of the decided game are kept (online-*.png).
# Both keep the room's game as a replay, the same file, which quibbet-replay plays to its recorded end.
# Usage: two_machines.sh PROGRAM SERVER SCREEN_WATCH REPLAYER
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"
. "$(dirname "$0")/../e2e_whole/game_screens.sh"
. "$(dirname "$0")/../e2e_sfx/pulse_server.sh"
. "$(dirname "$0")/room_machines.sh"

program=$1 server=$2 SCREEN_WATCH=$3 replayer=$4
SHOT_PREFIX=online
[ -x "$program" ] || skip "no program at $program"
[ -x "$server" ] || skip "no server at $server"
[ -x "$SCREEN_WATCH" ] || skip "no screen watcher at $SCREEN_WATCH"
[ -x "$replayer" ] || skip "no replay player at $replayer"
need_tools Xvfb xdotool xwininfo convert
cleanup_hooks+=(keep_shots)
# Each program opens two outputs (the music's and the effects'); the dummy output takes only one.
pulse_start

server_start "$server"
open_room opener "127.0.0.1:$server_port"
link=$room_link
on opener see opener-menu "$WAIT_SECONDS" "${STAGE_MENU[@]}"

start_machine joiner "$link"
on joiner see joiner-menu "$WAIT_SECONDS" "${STAGE_MENU[@]}"
joined() { grep -q 'joined, seats 2' "$WORK_DIR/server.log"; }
poll "$WAIT_SECONDS" joined || fail "the second machine did not take seat 2: $(cat "$WORK_DIR/server.log")"

on opener vkey Return
on opener see opener-ready "$WAIT_SECONDS" "${STAGE_READY[@]}"
on joiner see joiner-ready "$WAIT_SECONDS" "${STAGE_READY[@]}"
on opener vkey q
on joiner vkey q
winner=""
either_won() { won_by opener 0 && winner=0 || { won_by opener 1 && winner=1; }; }
poll 90 either_won || fail "the opener never saw the game decided: $(cat "$WORK_DIR/server.log")"
poll 30 won_by joiner "$winner" || fail "the joiner did not see player $((winner + 1)) win"
echo "seen: player $((winner + 1)) won on both screens"

# Once the menu is back, each machine has kept the game it ran on the server's closed ticks.
replay_of() { echo "$WORK_DIR/$1-home/data/quibbet/replay-00000001.qrp"; }
both_kept() { [ -s "$(replay_of opener)" ] && [ -s "$(replay_of joiner)" ]; }
poll 60 both_kept || fail "the room's game was not kept as a replay: $(ls -R "$WORK_DIR"/*-home/data 2>&1)"
cmp "$(replay_of opener)" "$(replay_of joiner)" || fail "the two machines kept different replays of one game"
"$replayer" "$(replay_of opener)" >"$WORK_DIR/replay.out" 2>&1 || fail "the room's replay did not play as recorded: $(tail -n 3 "$WORK_DIR/replay.out")"
echo "kept: the same replay on both machines, played to its recorded end"

grep -q 'differs' "$WORK_DIR/server.log" && fail "a machine differed: $(grep differs "$WORK_DIR/server.log")"
for name in opener joiner; do
    [ -s "$WORK_DIR/$name.err" ] && grep -q 'quibbet:' "$WORK_DIR/$name.err" && fail "$name said: $(cat "$WORK_DIR/$name.err")"
done
echo "PASS"
