# Runs the Windows backend's checks under wine: the window-less services (files, resources,
# thread, clock), then the window seam and the pads on Xvfb. The pad check's stand-in XInput DLL
# goes where the system's copy lives, in this test's own prefix.
# Usage: win32_backend.sh CHECK_EXE WINDOW_CHECK_EXE PADS_CHECK_EXE FAKE_XINPUT_DLL
. "$(dirname "$0")/e2e_lib.sh"

check_exe=$1 window_check_exe=$2 pads_check_exe=$3 fake_xinput=$4
for file in "$check_exe" "$window_check_exe" "$pads_check_exe" "$fake_xinput"; do
    [ -f "$file" ] || skip "no check program at $file"
done
need_tools wine wineserver timeout Xvfb xwininfo

# Its own prefix: two tests creating one prefix at the same time would trip over each other.
export WINEPREFIX="${QUIBBET_BUILD:-$WORK_DIR}/wineprefix-e2e-backend"
wine_settings_clear
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wineserver() { wineserver -k 2>/dev/null; }
cleanup_hooks+=(stop_wineserver)

xvfb_start
if ! timeout 300 wineboot --init >"$WORK_DIR/wineboot.log" 2>&1; then
    skip "wine cannot start here: $(tail -n 3 "$WORK_DIR/wineboot.log")"
fi
for exe in "$check_exe" "$window_check_exe"; do
    timeout 120 wine "$exe"
    status=$?
    [ "$status" -eq 0 ] || fail "$(basename "$exe") failed (status $status)"
done
cp "$fake_xinput" "$WINEPREFIX/drive_c/windows/system32/xinput1_4.dll" || fail "cannot place the stand-in XInput DLL"
WINEDLLOVERRIDES="xinput1_4=n;$WINEDLLOVERRIDES" timeout 120 wine "$pads_check_exe"
status=$?
[ "$status" -eq 0 ] || fail "$(basename "$pads_check_exe") failed (status $status)"
