#!/usr/bin/env bash
# Plays the 16-channel test song with `quibbet-xm play` (real SDL audio) into a private PulseAudio
# null sink, records the sink's monitor with parec, and compares the recording with `quibbet-xm
# render` of the same song. Exit 77 (skipped) when PulseAudio is not installed.
set -euo pipefail
build=${QUIBBET_BUILD:?QUIBBET_BUILD names the build folder}
. "$(dirname "$0")/../e2e_sfx/pulse_server.sh"
pulse_start 48000

"$build/write_demo_song" "$work/song.xm"
"$build/quibbet-xm" render "$work/song.xm" "$work/render.wav"

record_start "$work/recording.raw" 48000
SDL_AUDIODRIVER=pulseaudio timeout 180 "$build/quibbet-xm" play "$work/song.xm" >"$work/play.log"
echo "play: $(tail -n 1 "$work/play.log")"
# Half a second more, so the tail of the song is in the recording before parec stops.
wait_for_size "$work/recording.raw" $(($(stat -c %s "$work/recording.raw") + 96000))
record_stop

"$build/compare_recording" "$work/render.wav" "$work/recording.raw"
