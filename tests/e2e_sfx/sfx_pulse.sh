#!/usr/bin/env bash
# "bounce" then "winner" through the effects device into a PulseAudio null sink, recorded from
# the sink's monitor and found in the recording, in order, at their stored level; prints the
# delay from each request to its first sound. Keeps the recording and a spectrogram in the
# build tree. Usage: sfx_pulse.sh sdl TOOL | sfx_pulse.sh wine TOOL TOOL_EXE
# The recording is checked with the Linux TOOL; under wine TOOL_EXE plays through WinMM.
set -euo pipefail
mode=$1 tool=$2 exe=${3:-}
. "$(dirname "$0")/pulse_server.sh"

if [ "$mode" = wine ]; then
    [ -f "$exe" ] || { echo "skip: no Windows build at $exe (build the windows preset first)"; exit 77; }
    command -v wine >/dev/null || { echo "skip: wine is not installed"; exit 77; }
fi
pulse_start
keep=${QUIBBET_BUILD:-$work}/tests/e2e_sfx
mkdir -p "$keep"

player=("$tool")
if [ "$mode" = wine ]; then
    # A private prefix in the build tree, kept between runs: only the first run pays for it.
    export WINEPREFIX=${QUIBBET_BUILD:-$work}/wineprefix-e2e-sfx WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    stop_wine() { wineserver -k 2>/dev/null || true; }
    trap 'stop_wine; pulse_stop' EXIT
    # The wine server started here serves the player too: same priority.
    if ! nice -n -11 timeout 300 wineboot --init >"$work/wineboot.log" 2>&1; then
        echo "skip: wine cannot start here: $(tail -n 3 "$work/wineboot.log")"
        exit 77
    fi
    # Wine feeds the sound server from an ordinary thread; keep it ahead of the rest of a busy
    # machine, as the system keeps a Windows program's audio.
    player=(nice -n -11 wine "$exe")
fi

# A recording spoilt by the system dropping samples under heavy load is retried; a missing,
# misplaced or wrongly levelled effect fails every attempt, and the test with it, however busy
# the machine.
for attempt in 1 2 3; do
    rec=$work/$mode-$attempt.raw
    record_start "$rec"
    path=$rec
    [ "$mode" = wine ] && path=$(winepath -w "$rec")
    SDL_AUDIODRIVER=pulseaudio timeout 120 "${player[@]}" play "$path" bounce winner >"$work/play.txt"
    tr -d '\r' <"$work/play.txt"
    bounce_at=$(tr -d '\r' <"$work/play.txt" | awk '$1 == "bounce" { print $2 }')
    winner_at=$(tr -d '\r' <"$work/play.txt" | awk '$1 == "winner" { print $2 }')
    # The whole winner plus 300 ms for the system's buffers to drain.
    wait_for_size "$rec" $((winner_at + 85070 + 52920))
    record_stop
    if "$tool" check "$rec" bounce "$bounce_at" winner "$winner_at"; then
        cp "$rec" "$keep/${mode}_recording.raw"
        if command -v sox >/dev/null; then
            sox -t raw -r 44100 -e signed -b 16 -c 2 "$rec" -n remix 1 spectrogram -x 1200 -y 257 \
                -t "bounce then winner ($mode)" -o "$keep/${mode}_spectrogram.png"
        fi
        echo "PASS: both effects heard in order (attempt $attempt)"
        exit 0
    fi
    cp "$rec" "$keep/${mode}_failed_attempt_$attempt.raw"
done
echo "FAIL: the effects were not found cleanly in three recordings"
exit 1
