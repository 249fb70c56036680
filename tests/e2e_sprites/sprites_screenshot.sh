#!/usr/bin/env bash
# Screenshot test of the sprite renderer on a real X server (Xvfb, Mesa's software GL): the
# picture must match expected.png within a small tolerance, and a few pixels whose colours
# follow from the image table and the quad rules are probed on their own.
set -u
build=${QUIBBET_BUILD:?} source=${QUIBBET_SOURCE:?}
here=$source/tests/e2e_sprites
out=$build/tests/e2e_sprites
program=$out/sprite_scene
for tool in xvfb-run xauth import compare convert; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -x "$program" ] || { echo "missing $program"; exit 1; }

shot=$out/sprites_shot.png
rm -f "$shot" "$out/sprites_diff.png"
export LIBGL_ALWAYS_SOFTWARE=1
export LP_NUM_THREADS=0 # software GL on the calling thread, as in the window tests
xvfb-run -a -s "-screen 0 640x480x24 -noreset" bash "$here/capture.sh" "$program" "$shot" "$out/sprite_scene.log" || exit 1

failed=0
# Pixels more than 10% apart from the expected picture; edges of filtered sprites may wobble.
differing=$(compare -metric AE -fuzz 10% "$shot" "$here/expected.png" "$out/sprites_diff.png" 2>&1 >/dev/null)
echo "pixels differing from expected.png: $differing"
if ! [[ "$differing" =~ ^[0-9]+$ ]] || [ "$differing" -gt 300 ]; then
    echo "FAIL: screenshot differs from expected.png (see $out/sprites_diff.png)"
    failed=1
fi

# probe X Y R G B WHAT: the pixel must be within 12 of (R, G, B) in every channel.
probe() {
    local x=$1 y=$2 want=("$3" "$4" "$5") what=$6
    local got
    IFS=, read -r -a got < <(convert "$shot" -format \
        "%[fx:int(255*p{$x,$y}.r+0.5)],%[fx:int(255*p{$x,$y}.g+0.5)],%[fx:int(255*p{$x,$y}.b+0.5)]" info:)
    for c in 0 1 2; do
        local d=$((got[c] - want[c]))
        if [ ${d#-} -gt 12 ]; then
            echo "FAIL: $what at ($x, $y) is ${got[*]}, expected ${want[*]}"
            failed=1
            return
        fi
    done
}
# Test colours: entry e is (60 + 67e % 160, 60 + 131e % 160, 60 + 29e % 160).
probe 5 5 20 30 60 "background"
probe 60 60 183 119 161 "plain tile005 body"        # packed rect (22, 23)-(82, 81)
probe 50 28 255 255 255 "plain tile005 top band"
probe 28 60 0 0 0 "plain tile005 left band"
probe 320 110 183 119 161 "magnified tile005 body"  # quad (242, 24)-(366, 144)
probe 498 84 255 255 255 "player turned clockwise: its top band on the right"
probe 460 50 0 0 0 "player turned clockwise: its left band on top"
probe 440 100 198 134 146 "turned player body"
probe 45 325 116 148 132 "shrunk tile001 body"      # (21.2, 301.2)-(58.4, 337.2)
probe 284 324 94 62 218 "score ball drawn over the tree"
probe 570 410 20 30 60 "missing image draws nothing"
exit $failed
