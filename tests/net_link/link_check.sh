# The link of a build against echo servers on the loopback: Linux natively, the page's code in
# node, or the exe under wine. The check program prints every result; this script gives it its
# servers and the certificate to trust.
# Usage: link_check.sh native|node|wine CHECK NET_ECHO
. "$(dirname "$0")/../e2e_window/e2e_lib.sh"

mode=$1 check=$2 echo_server=$3
[ -f "$check" ] || skip "no check program at $check"
need_tools openssl python3 timeout
bash "$(dirname "$0")/make_certs.sh" "$WORK_DIR/certs" || fail "cannot make the test's certificates"

ports=()
for server in plain trusted stranger; do
    if [ $server = plain ]; then "$echo_server" >"$WORK_DIR/$server.port" &
    else "$echo_server" "$WORK_DIR/certs/$server.pem" "$WORK_DIR/certs/$server.key" >"$WORK_DIR/$server.port" &
    fi
    STARTED_PIDS+=($!)
    poll 30 test -s "$WORK_DIR/$server.port" || fail "the $server echo server did not start"
    ports+=("$(cat "$WORK_DIR/$server.port")")
done
# A port that was free a moment ago, for the link that finds nobody.
ports+=("$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')")

case $mode in
native) timeout 300 "$check" "${ports[@]}" "$WORK_DIR/certs/trusted.pem" ;;
node)
    need_tools node
    node --experimental-websocket -e 'process.exit(typeof WebSocket == "function" ? 0 : 1)' 2>/dev/null ||
        skip "this node has no WebSocket (node 20.10 or later has)"
    # This emscripten loads the wasm with fetch wherever there is one, and node's cannot read files.
    NODE_EXTRA_CA_CERTS="$WORK_DIR/certs/trusted.pem" timeout 300 \
        node --no-experimental-fetch --experimental-websocket "$check" "${ports[@]}" "$WORK_DIR/certs/trusted.pem"
    ;;
wine)
    need_tools wine wineserver winepath
    export WINEPREFIX="${QUIBBET_BUILD:-$WORK_DIR}/wineprefix-e2e-link"
    wine_settings_clear
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    stop_wineserver() { wineserver -k 2>/dev/null; }
    cleanup_hooks+=(stop_wineserver)
    timeout 300 wineboot --init >"$WORK_DIR/wineboot.log" 2>&1 || skip "wine cannot start here"
    timeout 300 wine "$check" "${ports[@]}" "$(winepath -w "$WORK_DIR/certs/trusted.pem")"
    ;;
*) fail "unknown mode $mode" ;;
esac
status=$?
[ "$status" -eq 0 ] || fail "the link check failed (status $status)"
