#!/usr/bin/env bash
# The proof that the rules compute alike everywhere: one set of recorded games (every level,
# computers among the players) played by the headless replay player of each build, Linux with
# gcc and with clang, the Windows exe under wine and the WebAssembly build in node; every tick's
# checksum and every outcome must be the same, and each game must end as it was recorded.
# Usage: builds_agree.sh RECORD_GAMES GCC_TOOL CLANG_TOOL WINDOWS_EXE WEB_JS
set -euo pipefail
record=$1 gcc_tool=$2 clang_tool=$3 windows_exe=$4 web_js=$5
GAMES=60

missing=()
for f in "$record" "$gcc_tool" "$clang_tool" "$windows_exe" "$web_js"; do [ -e "$f" ] || missing+=("$f"); done
[ ${#missing[@]} -eq 0 ] || { echo "skip: not built: ${missing[*]}"; exit 77; }
command -v wine >/dev/null || { echo "skip: wine is not installed"; exit 77; }
command -v node >/dev/null || { echo "skip: node is not installed"; exit 77; }

work=$(mktemp -d)
export WINEPREFIX=${QUIBBET_BUILD:-$work}/wineprefix-replay WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/games"
"$record" "$work/games" "$GAMES"
cd "$work/games"
games=(game-*.qrp)
[ ${#games[@]} -eq "$GAMES" ] || { echo "FAIL: ${#games[@]} games recorded of $GAMES"; exit 1; }

# Each prints the same lines (names as given, a checksum a tick, the outcomes); the timing goes
# to standard error. Windows ends its lines with CR LF.
run() {
    local name=$1
    shift
    if ! "$@" "${games[@]}" 2>"$work/$name.err" | tr -d '\r' >"$work/$name.out"; then
        echo "FAIL: $name: $(tail -n 3 "$work/$name.out" "$work/$name.err")"
        exit 1
    fi
    echo "$name: $(grep -c 'as recorded$' "$work/$name.out") games as recorded, $(cat "$work/$name.err")"
}
run gcc "$gcc_tool"
# The sanitizers must not end the run over anything but a real fault.
ASAN_OPTIONS=detect_leaks=0 run clang "$clang_tool"
timeout 300 wineboot --init >"$work/wineboot.log" 2>&1 || { echo "skip: wine cannot start here"; exit 77; }
run windows timeout 600 wine "$windows_exe"
run web timeout 600 node "$web_js"

ticks=$(grep -c '^[0-9]* [0-9a-f]*$' "$work/gcc.out")
levels=$(grep -o 'level [0-9]*' "$work/gcc.out" | sort -u | wc -l)
with_computers=$(grep -c 'computers.* 1.*ticks$' "$work/gcc.out" || true)
echo "$GAMES games, $ticks ticks, $levels levels, $with_computers with a computer player"
[ "$levels" -eq 17 ] || { echo "FAIL: only $levels of 17 levels among the games"; exit 1; }
[ "$with_computers" -gt 0 ] || { echo "FAIL: no game with a computer player"; exit 1; }
for build in clang windows web; do
    if ! cmp -s "$work/gcc.out" "$work/$build.out"; then
        echo "FAIL: $build differs from gcc:"
        diff "$work/gcc.out" "$work/$build.out" | head -n 5
        exit 1
    fi
done
[ "$(grep -c 'as recorded$' "$work/gcc.out")" -eq "$GAMES" ] || { echo "FAIL: a game ended otherwise"; exit 1; }
echo "every checksum equal on gcc, clang, the Windows exe and the browser build"
