# Measures the processor time the idle game window takes under Xvfb with the system's software
# GL (the main loop draws only when a tick has run or the window was exposed, and sleeps until
# the next tick) on the title screen or in the menu. Prints a figure; not a pass/fail test, since
# the number depends on the machine and its load.
# The title shows for 5 s (200 ticks) before the menu comes by itself, so it is measured for 3 s
# after its fade; the menu for 10 s.
# Usage: idle_cpu.sh [PROGRAM [title|menu]]   (run by hand; the release build by default:
#        cmake --preset release && cmake --build --preset release --target quibbet)
. "$(dirname "$0")/e2e_lib.sh"
export LIBGL_ALWAYS_SOFTWARE=1

program=${1:-$(dirname "$0")/../../build/release/quibbet} stage=${2:-menu}
[ -x "$program" ] || skip "no program at $program"
need_tools Xvfb xdotool xwininfo getconf
xvfb_start

# Ahead of the rest of a busy machine, which would otherwise cap what it takes.
nice -n -11 "$program" >"$WORK_DIR/program.log" 2>&1 &
pid=$!
STARTED_PIDS+=($pid)
is_box() { [ "$2" -lt 1000 ] && [ "$3" -lt 400 ]; }
is_windowed() { [ "$2" -eq 1280 ] && [ "$3" -eq 720 ]; }
wait_titled_window is_box || fail "no question box"
read -r box_id _ <<<"$FOUND"
xdotool mousemove --window "$box_id" 5 5 key Escape # No: the windowed game
wait_titled_window is_windowed || fail "no game window"
read -r window_id _ <<<"$FOUND"
sleep 2 # past start-up, in the intro
xdotool key --window "$window_id" space # to the title
if [ "$stage" = title ]; then
    MEASURE_SECONDS=3
    sleep 1.5 # past the fade
else
    MEASURE_SECONDS=10
    sleep 1
    xdotool key --window "$window_id" space # to the menu
    sleep 1
fi

# utime + stime, fields 14 and 15 of /proc/PID/stat (after the parenthesised name).
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
xvfb_pid=${STARTED_PIDS[0]}
ticks_per_second=$(getconf CLK_TCK)
start_ticks=$(cpu_ticks "$pid") start_x=$(cpu_ticks "$xvfb_pid") start_ns=$(date +%s%N)
sleep "$MEASURE_SECONDS"
end_ticks=$(cpu_ticks "$pid") end_x=$(cpu_ticks "$xvfb_pid") end_ns=$(date +%s%N)
report() {
    awk -v what="$1" -v t="$2" -v hz="$ticks_per_second" -v ns=$((end_ns - start_ns)) 'BEGIN {
        printf "%s: %.2f s of processor time in %.2f s = %.1f%% of one core\n", what, t / hz, ns / 1e9,
            100 * t / hz / (ns / 1e9) }'
}
report "idle window, $stage" $((end_ticks - start_ticks))
report "the X server meanwhile" $((end_x - start_x))
