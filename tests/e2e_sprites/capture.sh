#!/usr/bin/env bash
# Runs inside Xvfb: starts the sprite program, waits until it has drawn, takes the screenshot.
# Usage: capture.sh PROGRAM SHOT LOG
set -u
. "$(dirname "$0")/../own_processes.sh"
program=$1 shot=$2 log=$3
"$program" >"$log" 2>&1 &
pid=$!
for _ in $(seq 600); do # up to 60 s on a loaded machine
    grep -q ready "$log" && break
    child_running "$pid" || break
    sleep 0.1
done
status=1
if grep -q ready "$log"; then
    import -window root "$shot" && status=0
else
    echo "the sprite program never became ready:"
    cat "$log"
fi
kill_own "$pid"
wait "$pid" 2>/dev/null
exit $status
