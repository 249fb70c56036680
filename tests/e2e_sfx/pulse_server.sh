# Sourced by the sound E2E scripts: a private PulseAudio server with one null sink, in its own
# runtime directory, so tests running at the same time never share a server.
# Sets: work (temp dir, removed on exit), sink, and the environment that points clients at it.
. "$(dirname "${BASH_SOURCE[0]}")/../own_processes.sh"

# pulse_start [RATE]: the sink runs at RATE (44,100 Hz, the effects' rate, unless given). Scripts
# that keep a list of clean-up hooks (e2e_lib.sh) get the server's stop added to it.
pulse_start() {
    local rate=${1:-44100}
    local needed
    for needed in pulseaudio pactl parec; do
        command -v "$needed" >/dev/null || { echo "skip: $needed is not installed"; exit 77; }
    done
    work=$(mktemp -d /tmp/quibbet-sfx-XXXXXX)
    export XDG_RUNTIME_DIR=$work/run HOME=$work/home
    mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$HOME"
    unset PULSE_SERVER
    sink=quibbet_sfx_$$
    # The server keeps its own priority up, so a busy test machine does not starve the sound.
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-module-loading \
        --high-priority=yes --realtime=yes \
        --log-target=file:"$work/pulse.log" \
        -L "module-native-protocol-unix auth-anonymous=1" \
        -L "module-null-sink sink_name=$sink rate=$rate format=s16le channels=2" 2>>"$work/pulse.log" &
    pulse_pid=$!
    if declare -p cleanup_hooks >/dev/null 2>&1; then cleanup_hooks+=(pulse_stop); else trap pulse_stop EXIT; fi
    local waited=0
    until pactl info >/dev/null 2>&1; do
        child_running "$pulse_pid" || { echo "FAIL: PulseAudio did not start"; cat "$work/pulse.log"; exit 1; }
        sleep 0.1
        waited=$((waited + 1))
        [ "$waited" -lt 600 ] || { echo "FAIL: PulseAudio did not answer within 60 s"; exit 1; }
    done
    pactl set-default-sink "$sink"
}

# record_start FILE [RATE]: records the sink's monitor into FILE (at 44,100 Hz unless given) and
# waits until data arrives.
record_start() {
    # Kept ahead of other work: its file size tells when an effect was handed over.
    nice -n -11 parec -d "$sink.monitor" --raw --format=s16le --rate="${2:-44100}" --channels=2 --latency-msec=5 >"$1" &
    parec_pid=$!
    wait_for_size "$1" 1
}

record_stop() {
    kill_own "$parec_pid"
    wait "$parec_pid" 2>/dev/null || true
    parec_pid=
}

# Waits (60 s at most) until file $1 holds at least $2 bytes.
wait_for_size() {
    local waited=0
    until [ "$(stat -c %s "$1")" -ge "$2" ]; do
        sleep 0.05
        waited=$((waited + 1))
        [ "$waited" -lt 1200 ] || { echo "FAIL: $1 stayed below $2 bytes for 60 s"; exit 1; }
    done
}

pulse_stop() {
    local pid
    # Only its own processes: the calling script may have others still running.
    for pid in ${parec_pid:-} ${pulse_pid:-}; do
        kill_own "$pid"
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
