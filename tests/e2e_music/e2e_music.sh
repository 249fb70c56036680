#!/usr/bin/env bash
# Plays the 16-channel test song with `quibbet-xm play` (real SDL audio) into a PulseAudio null
# sink, records the sink's monitor with parec, and compares the recording with `quibbet-xm
# render` of the same song. Each run has its own server and runtime folder, so it can run beside
# other audio tests. Exit 77 (skipped) when PulseAudio is not installed.
set -euo pipefail
build=${QUIBBET_BUILD:?QUIBBET_BUILD names the build folder}
for tool in pulseaudio pactl parec; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

work=$(mktemp -d /tmp/e2e_music.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# poll SECONDS COMMAND...: runs the command every 0.1 s until it succeeds or time runs out.
poll() {
    local limit=$(($1 * 10)); shift
    for ((i = 0; i < limit; i++)); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}
file_size() { stat -c %s "$1" 2>/dev/null || echo 0; }
grown_past() { [ "$(file_size "$1")" -gt "$2" ]; }

export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
sink=quibbet_music
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=$sink rate=48000 channels=2 format=s16le" 2>"$work/pulse.log" &
pids+=($!)
poll 60 pactl info >/dev/null 2>&1 || { echo "PulseAudio did not come up"; cat "$work/pulse.log"; exit 1; }
pactl set-default-sink "$sink"

"$build/write_demo_song" "$work/song.xm"
"$build/quibbet-xm" render "$work/song.xm" "$work/render.wav"

parec -d "$sink.monitor" --rate=48000 --channels=2 --format=s16le --raw >"$work/recording.raw" &
pids+=($!)
poll 60 grown_past "$work/recording.raw" 0 || { echo "parec records nothing"; exit 1; }

SDL_AUDIODRIVER=pulseaudio timeout 180 "$build/quibbet-xm" play "$work/song.xm" >"$work/play.log"
echo "play: $(tail -n 1 "$work/play.log")"
# Half a second more, so the tail of the song is in the recording before parec stops.
size=$(file_size "$work/recording.raw")
poll 60 grown_past "$work/recording.raw" $((size + 96000)) || true

"$build/compare_recording" "$work/render.wav" "$work/recording.raw"
