#!/usr/bin/env bash
# The game's song judged by two independent players, Debian's openmpt123 and xmp, used only as
# outside programs: each must load the module without a warning, report its figures and its length,
# and render it with the same loudness, second by second, as `quibbet-xm render`. Exit 77 (skipped)
# when neither is installed; a missing one is left out.
set -euo pipefail
build=${QUIBBET_BUILD:?QUIBBET_BUILD names the build folder}
source_dir=${QUIBBET_SOURCE:?QUIBBET_SOURCE names the source folder}
have_openmpt=$(command -v openmpt123 || true)
have_xmp=$(command -v xmp || true)
[ -n "$have_openmpt$have_xmp" ] || { echo "neither openmpt123 nor xmp: skipped"; exit 77; }

work=$(mktemp -d /tmp/song_judges.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$source_dir/assets/song.xm" "$work/song.xm"
cd "$work"
failed=0

# expect TEXT PATTERN WHAT: the text must match the extended regular expression.
expect() {
    if ! grep -Eq "$2" <<<"$1"; then
        echo "FAIL: $3 (no line matching '$2')"
        failed=1
    fi
}
no_warnings() {
    if grep -Eiq 'warn|error' <<<"$1"; then
        echo "FAIL: $2 reports a problem:"
        grep -Ei 'warn|error' <<<"$1"
        failed=1
    fi
}

ours=$("$build/quibbet-xm" info song.xm)
echo "$ours"
expect "$ours" '^length +0:46\.0[0-9]+$' "quibbet-xm info: length"
"$build/quibbet-xm" render song.xm ours.wav
renders=(ours.wav)

if [ -n "$have_openmpt" ]; then
    info=$(openmpt123 --info song.xm 2>&1)
    grep -E '\.\.\.:' <<<"$info" || true
    no_warnings "$info" openmpt123
    for figure in 'Channels\.+: 16' 'Orders\.+: 18' 'Patterns\.+: 24' 'Instruments: 13' 'Samples\.+: 13' \
        'Duration\.+: 00:46\.0'; do
        expect "$info" "^$figure" "openmpt123 --info: $figure"
    done
    openmpt123 --quiet --render --samplerate 48000 --no-float --filter 2 --output-type wav --force song.xm
    mv song.xm.wav openmpt123.wav
    renders+=(openmpt123.wav)
fi

if [ -n "$have_xmp" ]; then
    info=$(xmp --load-only song.xm 2>&1)
    grep -E '^[A-Z][a-z ]+: ' <<<"$info" || true
    no_warnings "$info" xmp
    for figure in 'Channels +: 16' 'Instruments +: 13' 'Samples +: 13' 'Duration +: 0min46s'; do
        expect "$info" "^$figure" "xmp --load-only: $figure"
    done
    xmp --quiet --output-file xmp.wav --frequency 48000 --interpolation linear song.xm
    renders+=(xmp.wav)
fi

"$build/loudness_curves" "${renders[@]}" || failed=1
exit $failed
