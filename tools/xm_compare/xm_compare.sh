#!/usr/bin/env bash
# Judges quibbet-xm on real-world modules: fetches the XM modules that Debian 12's packages ship,
# renders each once with our player and with two independent players as outside judges
# (openmpt123 and xmp, used only as programs; a judge that is not installed is skipped), and
# prints per module the length of each render, the correlation of our loudness curve (RMS over
# 50 ms windows) with each judge's, the share of windows where the judges agree with each other but
# not with ours (a note ours cuts or adds), and the CPU time of each; then the totals, the speed
# ratio and the worst windows (time, order, row) of every module above 1 %.
#
# Usage: tools/xm_compare/xm_compare.sh [PACKAGE ...]
#   Without packages it asks apt-file for every package (below the size cap) that installs .xm
#   files outside /usr/share/doc. Needs apt-file with its index (apt-get install apt-file &&
#   apt-file update) for that, and apt-get for the downloads.
# Environment:
#   QUIBBET_XM        our player (default: build/release/quibbet-xm; build it with
#                     cmake --preset release && cmake --build --preset release --target quibbet-xm xm-loudness)
#   XM_LOUDNESS       the loudness judge (default: beside QUIBBET_XM)
#   XM_COMPARE_CACHE  where packages, modules and renders go (default ~/.cache/quibbet-xm-compare);
#                     nothing is written inside the repository
#   XM_COMPARE_MAX_KB largest package to fetch, in KB (default 16384)
#   XM_COMPARE_RUNS   renders of each module by each player; the least CPU time counts (default 3)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
ours=${QUIBBET_XM:-$repo/build/release/quibbet-xm}
loudness=${XM_LOUDNESS:-$(dirname "$ours")/xm-loudness}
cache=${XM_COMPARE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quibbet-xm-compare}
max_kb=${XM_COMPARE_MAX_KB:-16384}
runs=${XM_COMPARE_RUNS:-3}
rate=48000

die() { echo "xm_compare: $*" >&2; exit 1; }
[ -x "$ours" ] || die "no player at $ours (set QUIBBET_XM or build the release preset)"
[ -x "$loudness" ] || die "no xm-loudness at $loudness (set XM_LOUDNESS)"
have() { command -v "$1" >/dev/null 2>&1; }
have_openmpt=0; have openmpt123 && have_openmpt=1
have_xmp=0; have xmp && have_xmp=1
[ $have_openmpt = 1 ] || echo "xm_compare: openmpt123 is not installed; that judge is skipped" >&2
[ $have_xmp = 1 ] || echo "xm_compare: xmp is not installed; that judge is skipped" >&2

mkdir -p "$cache/debs" "$cache/modules" "$cache/renders"

# --- which packages --------------------------------------------------------------------------
packages=("$@")
if [ ${#packages[@]} -eq 0 ]; then
    have apt-file || die "apt-file is needed to find the packages (or name them on the command line)"
    mapfile -t candidates < <(apt-file search -x '^/usr/share/.*\.xm$' 2>/dev/null |
        grep -v ': /usr/share/doc/' | cut -d: -f1 | sort -u)
    [ ${#candidates[@]} -gt 0 ] || die "apt-file found no .xm files; run apt-file update first"
    for p in "${candidates[@]}"; do
        size=$(apt-cache show "$p" 2>/dev/null | awk '/^Size:/ {print $2; exit}')
        [ -n "$size" ] && [ "$size" -le $((max_kb * 1024)) ] && packages+=("$p")
    done
fi

# --- fetch and unpack (once; kept in the cache) ----------------------------------------------
for p in "${packages[@]}"; do
    if ! compgen -G "$cache/debs/${p}_*.deb" >/dev/null; then
        echo "== fetching $p" >&2
        (cd "$cache/debs" && apt-get download -qq "$p" 2>/dev/null) || { echo "   cannot fetch $p" >&2; continue; }
    fi
    unpacked="$cache/unpacked/$p"
    if [ ! -d "$unpacked" ]; then
        deb=$(compgen -G "$cache/debs/${p}_*.deb" | head -1)
        mkdir -p "$unpacked" && dpkg-deb -x "$deb" "$unpacked"
    fi
    while IFS= read -r -d '' f; do
        cp -n "$f" "$cache/modules/${p}__$(basename "$f")"
    done < <(find "$unpacked" -name '*.xm' -type f -print0)
done

# --- render and judge ------------------------------------------------------------------------
# CPU seconds (user + system) of a command, the least of $runs runs: a shared machine's speed
# drifts over minutes, and the least time is the one nothing else disturbed. Output discarded.
cpu_of() {
    local TIMEFORMAT='%3U %3S' t best=
    for ((run = 0; run < runs; run++)); do
        t=$( { time "$@" >/dev/null 2>&1; } 2>&1 ) || true
        best=$(awk -v b="$best" '{c = $1 + $2; if (b == "" || c < b) b = c; printf "%.3f", b}' <<<"$t")
    done
    echo "$best"
}

# Seconds per row at the module's starting tempo, from our own info: the length tolerance, but
# never below 0.125 s, since openmpt123's renders run on about 0.1 s past the song's end whatever
# the tempo.
min_tolerance=0.125
row_seconds() {
    "$ours" info "$1" 2>/dev/null | awk '/^tempo/ {gsub(",", ""); s = $3; b = $4; if (s < 1) s = 1;
        if (b < 1) b = 1; printf "%.4f", s * 2.5 / b; exit}'
}

# 1 when |a - b| <= tolerance, else 0; "-" when either is missing.
within() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { if (a == "-" || b == "-") print "-";
    else { d = a - b; if (d < 0) d = -d; ok = d <= t + 0.001; print ok } }'; }

# refs=: the judges' lengths agree within a row; ours=: ours agrees with both within a row;
# r_mpt, r_xmp: loudness correlation of ours with each judge; r_ref: of the judges with each other.
# apart%: 50 ms windows where the judges agree within 1 dB and ours is over 3 dB from both.
printf '%-44s %8s %8s %8s %5s %5s %6s %6s %6s %7s %7s %7s %7s\n' module ours openmpt xmp refs= ours= r_mpt \
    r_xmp r_ref apart% cpu_us cpu_mpt cpu_xmp
modules=0 agreeing=0 ours_ok=0 low_corr=0 apart_over=0 worst=""
apart_limit=1
sum_ours=0 sum_mpt=0 sum_xmp=0
for m in "$cache"/modules/*.xm; do
    name=$(basename "$m" .xm)
    out="$cache/renders/$name"
    rm -f "$out".*.wav "$m.wav"
    c_ours=$(cpu_of "$ours" render "$m" "$out.ours.wav")
    c_mpt=- c_xmp=-
    if [ $have_openmpt = 1 ]; then
        c_mpt=$(cpu_of openmpt123 --quiet --render --no-float --force --samplerate $rate --output-type wav "$m")
        mv -f "$m.wav" "$out.openmpt.wav" 2>/dev/null || true
    fi
    if [ $have_xmp = 1 ]; then
        c_xmp=$(cpu_of xmp --quiet --nocmd --norc --interpolation linear --frequency $rate \
            --output-file "$out.xmp.wav" "$m")
    fi
    read -r len_ours len_mpt len_xmp r_mpt r_xmp < <("$loudness" "$out.ours.wav" "$out.openmpt.wav" \
        "$out.xmp.wav" 2>/dev/null || echo "- - - - -")
    read -r _ _ r_ref < <("$loudness" "$out.openmpt.wav" "$out.xmp.wav" 2>/dev/null || echo "- - -")
    mapfile -t apart < <("$loudness" --cut "$m" "$out.ours.wav" "$out.openmpt.wav" "$out.xmp.wav" 2>/dev/null ||
        true)
    share=${apart[0]:--}
    if awk -v s="$share" -v l=$apart_limit 'BEGIN { exit !(s != "-" && s > l) }'; then
        apart_over=$((apart_over + 1))
        worst+="$name ($share %):"$'\n'$(printf '%s\n' "${apart[@]:1}")$'\n'
    fi
    row=$(row_seconds "$m")
    row=$(awk -v r="${row:-0}" -v m=$min_tolerance 'BEGIN { t = (r > m) ? r : m; print t }')
    refs=$(within "$len_mpt" "$len_xmp" "$row")
    ok_mpt=$(within "$len_ours" "$len_mpt" "$row")
    ok_xmp=$(within "$len_ours" "$len_xmp" "$row")
    ok=-
    [ "$ok_mpt" != - ] && ok=$ok_mpt
    [ "$ok_xmp" != - ] && { [ "$ok" = - ] || [ "$ok" = 1 ]; } && ok=$ok_xmp
    printf '%-44s %8s %8s %8s %5s %5s %6s %6s %6s %7s %7s %7s %7s\n' "${name:0:44}" "$len_ours" "$len_mpt" \
        "$len_xmp" "$refs" "$ok" "$r_mpt" "$r_xmp" "$r_ref" "$share" "$c_ours" "$c_mpt" "$c_xmp"
    modules=$((modules + 1))
    awk -v r="$r_mpt" 'BEGIN { exit !(r != "-" && r < 0.9) }' && low_corr=$((low_corr + 1))
    if [ "$refs" = 1 ]; then
        agreeing=$((agreeing + 1))
        [ "$ok" = 1 ] && ours_ok=$((ours_ok + 1))
        sum_ours=$(awk -v a="$sum_ours" -v b="$c_ours" 'BEGIN {printf "%.3f", a + b}')
        sum_mpt=$(awk -v a="$sum_mpt" -v b="$c_mpt" 'BEGIN {printf "%.3f", a + b}')
        sum_xmp=$(awk -v a="$sum_xmp" -v b="$c_xmp" 'BEGIN {printf "%.3f", a + b}')
    fi
done

echo
echo "modules: $modules; the two judges agree on the length of $agreeing; ours within a row of both on $ours_ok of those"
echo "loudness correlation with openmpt123 below 0.9: $low_corr module(s)"
echo "windows apart from both agreeing judges above $apart_limit %: $apart_over module(s)"
echo "CPU seconds over the modules where the judges agree: ours $sum_ours, openmpt123 $sum_mpt, xmp $sum_xmp"
awk -v o="$sum_ours" -v x="$sum_xmp" 'BEGIN { if (o > 0 && x > 0) printf "speed against xmp (linear): %.2f x\n", x / o }'
[ -z "$worst" ] || printf '\nworst windows (time, order and row of ours, levels after matching the gains):\n%s' "$worst"
