# quibbet.exe is one self-contained file: it may import only DLLs that every Windows has.
# Usage: exe_imports.sh EXE
. "$(dirname "$0")/e2e_lib.sh"

exe=$1
objdump=x86_64-w64-mingw32-objdump
need_tools "$objdump"
[ -f "$exe" ] || skip "no Windows build at $exe (build the windows preset first)"

"$objdump" -p "$exe" >"$WORK_DIR/headers" || fail "$objdump cannot read $exe"
mapfile -t dlls < <(awk '/DLL Name:/ { print tolower($3) }' "$WORK_DIR/headers")
echo "imports: ${dlls[*]}"
# The window, GL, sound and WebSocket libraries the game uses, and the C runtime that ships with
# Windows.
system_dlls=" kernel32.dll user32.dll gdi32.dll opengl32.dll winmm.dll winhttp.dll msvcrt.dll advapi32.dll ucrtbase.dll "
for dll in "${dlls[@]}"; do
    case $dll in
    api-ms-win-*.dll) ;; # the system's own forwarders to its C runtime
    *) [[ $system_dlls == *" $dll "* ]] || fail "$exe imports $dll, which Windows does not ship" ;;
    esac
done
# A reading that found nothing would pass the loop above: the window needs these two.
[[ " ${dlls[*]} " == *" user32.dll "* && " ${dlls[*]} " == *" opengl32.dll "* ]] ||
    fail "import table not read: user32.dll or opengl32.dll missing"
echo "only Windows system DLLs"
