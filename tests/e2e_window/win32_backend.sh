# Runs the Windows backend's window-less checks (files, resources, thread, clock) under wine.
# Usage: win32_backend.sh CHECK_EXE
. "$(dirname "$0")/e2e_lib.sh"

check_exe=$1
[ -f "$check_exe" ] || skip "no check program at $check_exe"
need_tools wine wineserver timeout

# Its own prefix: two tests creating one prefix at the same time would trip over each other.
export WINEPREFIX="${QUIBBET_BUILD:-$WORK_DIR}/wineprefix-e2e-backend"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY # nothing here opens a window
stop_wineserver() { wineserver -k 2>/dev/null; }
cleanup_hooks+=(stop_wineserver)

if ! timeout 300 wineboot --init >"$WORK_DIR/wineboot.log" 2>&1; then
    skip "wine cannot start here: $(tail -n 3 "$WORK_DIR/wineboot.log")"
fi
timeout 120 wine "$check_exe"
status=$?
[ "$status" -eq 0 ] || fail "the backend checks failed (status $status)"
