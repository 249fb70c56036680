# Runs the Windows backend's checks under wine: the window-less services (files, resources,
# thread, clock), then the window seam on Xvfb.
# Usage: win32_backend.sh CHECK_EXE WINDOW_CHECK_EXE
. "$(dirname "$0")/e2e_lib.sh"

check_exe=$1 window_check_exe=$2
[ -f "$check_exe" ] && [ -f "$window_check_exe" ] || skip "no check programs at $check_exe, $window_check_exe"
need_tools wine wineserver timeout Xvfb xwininfo

# Its own prefix: two tests creating one prefix at the same time would trip over each other.
export WINEPREFIX="${QUIBBET_BUILD:-$WORK_DIR}/wineprefix-e2e-backend"
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
