# Two Linux programs in one room over a poor connection: each talks to the server through the
# tests' fault proxy, which holds every chunk 150 +- 40 ms and now and then stalls a stream for
# 200 to 600 ms. A whole game is played and decided with both turning, and the server logs no
# machine that differs; each machine's figures (how long its game stood still, how late its
# person's presses showed) are printed. In a second game the joining machine is killed: the
# computer takes its seat within 3 s, the opener's game never stood still for long, and the same
# link brings the machine back into its seat. Then the server is killed: both say so on standard
# error and go back to their own menus. Both keep the first game as a replay, the same file, which
# quibbet-replay plays to its recorded end.
# Usage: fault_walk.sh PROGRAM SERVER SCREEN_WATCH FAULT_PROXY REPLAYER
# (FAULT_PROXY_OPTIONS, e.g. "--delay-ms 40 --jitter-ms 10", changes the faults for a measurement by hand.)
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"
. "$(dirname "$0")/../e2e_whole/game_screens.sh"
. "$(dirname "$0")/../e2e_sfx/pulse_server.sh"
. "$(dirname "$0")/room_machines.sh"

program=$1 server=$2 SCREEN_WATCH=$3 proxy=$4 replayer=$5
FAULT_PROXY_OPTIONS=${FAULT_PROXY_OPTIONS:-}
SHOT_PREFIX=faults
# The computer in a vanished machine's seat: the server notices the closed connection at once;
# 3 s is the most a player should wait for it.
SEAT_TO_COMPUTER_MS=3000
# The other machine goes on for GONE_SECONDS without the killed one, and its game stands still
# less than STILL_BOUND_MS meanwhile: a room that waited for the vanished machine would stand still
# all that time, while the faults alone cost up to about 0.9 s (a stall on top of a late chunk)
# and a loaded machine's own pauses up to about 2 s (seen while another program started).
GONE_SECONDS=5
STILL_BOUND_MS=2500
[ -x "$program" ] || skip "no program at $program"
[ -x "$server" ] || skip "no server at $server"
[ -x "$SCREEN_WATCH" ] || skip "no screen watcher at $SCREEN_WATCH"
[ -x "$proxy" ] || skip "no fault proxy at $proxy"
[ -x "$replayer" ] || skip "no replay player at $replayer"
need_tools Xvfb xdotool xwininfo convert
# What each program said stays beside the screenshots (faults-*.log), for a failed walk's reader.
keep_logs() {
    local log
    for log in "$WORK_DIR"/*.log "$WORK_DIR"/*.out "$WORK_DIR"/*.err; do
        [ -f "$log" ] && cp "$log" "$PWD/$SHOT_PREFIX-$(basename "$log" .log).log"
    done
}
cleanup_hooks+=(keep_shots keep_logs)
pulse_start

server_start "$server"
"$proxy" --to "$server_port" --seed 27 --seconds 280 $FAULT_PROXY_OPTIONS >"$WORK_DIR/proxy.log" 2>&1 &
proxy_pid=$!
STARTED_PIDS+=($proxy_pid)
poll "$WAIT_SECONDS" port_in "$WORK_DIR/proxy.log" 'listening on 127.0.0.1 port' >/dev/null ||
    fail "the proxy did not start: $(cat "$WORK_DIR/proxy.log")"
# Every machine prints its figures each second.
export QUIBBET_ROOM_FIGURES=1

count() { grep -c "$1" "$WORK_DIR/server.log"; }
# figures NAME: that machine's latest figures line.
figures() { grep 'room figures' "$WORK_DIR/$1.out" | tail -n1; }
# still_ms NAME: the longest standstill in that machine's latest figures.
still_ms() { figures "$1" | grep -o 'stood still [0-9]*' | grep -o '[0-9]*'; }
# The menu's panel gone: a game under way. Its ready overlay (under a second) is no stage to wait
# for here: a machine catching up after a stall runs past much of it at once.
IN_GAME=('cream@255,170,90,140<=0.02')
now_ms() { echo $(($(date +%s%N) / 1000000)); }

open_room opener "127.0.0.1:$(port_in "$WORK_DIR/proxy.log" 'listening on 127.0.0.1 port')"
link=$room_link
start_machine joiner "$link"
on joiner see joiner-menu "$WAIT_SECONDS" "${STAGE_MENU[@]}"
joined() { [ "$(count 'joined, seats 2')" -ge "$1" ]; }
poll "$WAIT_SECONDS" joined 1 || fail "the second machine did not take seat 2: $(cat "$WORK_DIR/server.log")"

# The first game, decided with both turning.
on opener vkey Return
on opener see opener-in-game "$WAIT_SECONDS" "${IN_GAME[@]}"
on joiner see joiner-in-game "$WAIT_SECONDS" "${IN_GAME[@]}"
# Both turn, left and right by turns, at every look until the game is decided: many presses for
# the figures of how late they showed.
turns=0
turn() {
    local key=q
    [ $((turns++ % 2)) = 1 ] && key=w
    on opener vkey "$key"
    on joiner vkey "$key"
}
winner=""
either_won() { turn && won_by opener 0 && winner=0 || { won_by opener 1 && winner=1; }; }
poll 120 either_won || fail "the opener never saw the game decided: $(cat "$WORK_DIR/server.log")"
poll 60 won_by joiner "$winner" || fail "the joiner did not see player $((winner + 1)) win"
echo "seen: player $((winner + 1)) won on both screens"
grep -q 'differs' "$WORK_DIR/server.log" && fail "a machine differed: $(grep differs "$WORK_DIR/server.log")"
# A figures line printed after the decided game was seen covers the whole of it.
lines_now() { grep -c 'room figures' "$WORK_DIR/$1.out"; }
seen_lines=$(lines_now opener)
new_lines() { [ "$(lines_now opener)" -ge $((seen_lines + $1)) ]; }
poll 10 new_lines 1 || fail "the opener prints no figures"
echo "figures of the first game: opener: $(figures opener)"
echo "figures of the first game: joiner: $(figures joiner)"
for name in opener joiner; do
    figures "$name" | grep -q 'own presses ([1-9]' || fail "$name counted none of its presses: $(figures "$name")"
done

# The second game; the joiner is killed once it is under way.
on opener see opener-menu-again 60 "${STAGE_MENU[@]}"
# Once the menu is back, each machine has kept the game it ran on the server's closed ticks.
replay_of() { echo "$WORK_DIR/$1-home/data/quibbet/replay-00000001.qrp"; }
both_kept() { [ -s "$(replay_of opener)" ] && [ -s "$(replay_of joiner)" ]; }
poll 60 both_kept || fail "the room's game was not kept as a replay: $(ls -R "$WORK_DIR"/*-home/data 2>&1)"
cmp "$(replay_of opener)" "$(replay_of joiner)" || fail "the two machines kept different replays of one game"
"$replayer" "$(replay_of opener)" >"$WORK_DIR/replay.out" 2>&1 ||
    fail "the room's replay did not play as recorded: $(tail -n 3 "$WORK_DIR/replay.out")"
echo "kept: the same replay on both machines, played to its recorded end"
on opener vkey Return
on joiner see joiner-in-game-again "$WAIT_SECONDS" "${IN_GAME[@]}"
still_before=$(still_ms opener)
kill -9 "$joiner_pid"
killed_ms=$(now_ms)
seen_lines=$(lines_now opener)
to_computer() { [ "$(count 'left to the computer')" -ge 1 ]; }
poll 10 to_computer || fail "the vanished machine's seat never went to the computer: $(cat "$WORK_DIR/server.log")"
took_ms=$(($(now_ms) - killed_ms))
echo "seen: the computer took the killed machine's seat after $took_ms ms (polled every 0.2 s)"
[ "$took_ms" -le "$SEAT_TO_COMPUTER_MS" ] || fail "the computer took the seat only after $took_ms ms"
poll $((GONE_SECONDS * 3)) new_lines "$GONE_SECONDS" || fail "the opener stopped printing its figures"
still=$(still_ms opener)
# The longest standstill is the session's: one that grew meanwhile happened meanwhile.
if [ "$still" -gt "$still_before" ]; then
    echo "seen: the opener's game stood still $still ms at longest in the $GONE_SECONDS s without the other"
    [ "$still" -lt "$STILL_BOUND_MS" ] || fail "the opener's game stood still $still ms without the other machine"
else
    echo "seen: the opener's game stood still no longer than before ($still ms) in the $GONE_SECONDS s without the other"
fi

start_machine joiner "$link"
poll "$WAIT_SECONDS" joined 2 || fail "the same link did not bring seat 2 back: $(cat "$WORK_DIR/server.log")"
echo "seen: the same link took seat 2 again"
on joiner see joiner-back "$WAIT_SECONDS" "${STAGE_MENU[@]}"
on opener see opener-back "$WAIT_SECONDS" "${STAGE_MENU[@]}"
grep -q 'differs' "$WORK_DIR/server.log" && fail "a machine differed: $(grep differs "$WORK_DIR/server.log")"

# The server goes: both machines say so and are back in their own menus.
kill -9 "$server_pid"
said_lost() { grep -q 'quibbet: .*\(lost\|silent\|closed\)' "$WORK_DIR/$1.err"; }
for name in opener joiner; do
    poll "$WAIT_SECONDS" said_lost "$name" || fail "$name never said the server went: $(cat "$WORK_DIR/$name.err")"
    echo "$name said: $(grep 'quibbet: ' "$WORK_DIR/$name.err" | tail -n1)"
    on "$name" see "$name-local-menu-again" "$WAIT_SECONDS" "${STAGE_MENU[@]}"
    echo "figures at the end: $name: $(figures "$name")"
done

kill "$proxy_pid"
wait "$proxy_pid"
grep 'done' "$WORK_DIR/proxy.log"
echo "PASS"
