#!/usr/bin/env bash
# With no usable audio output the first effect request ends the process: the exact line on
# standard error, nothing else there, and exit status 1.
# Usage: sfx_no_output.sh TOOL
set -uo pipefail
tool=$1
work=$(mktemp -d /tmp/quibbet-sfx-XXXXXX)
trap 'rm -rf "$work"' EXIT
SDL_AUDIODRIVER=no-such-output timeout 60 "$tool" play "$work/none.raw" bounce >"$work/out" 2>"$work/err"
status=$?
printf 'unable to open WAVE_MAPPER device\n' >"$work/expected"
if [ "$status" -ne 1 ]; then
    echo "FAIL: exit status $status, expected 1"
    exit 1
fi
if ! cmp -s "$work/err" "$work/expected"; then
    echo "FAIL: standard error was:"
    od -c "$work/err" | head
    exit 1
fi
if [ -s "$work/out" ]; then
    echo "FAIL: something was printed before the failure:"
    cat "$work/out"
    exit 1
fi
echo "PASS: exact line on standard error, exit status 1"
