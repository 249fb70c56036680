# Ending the processes a test script started, and only those. On a busy machine process numbers
# come round again within minutes (32,768 of them here): once a child has ended, the shell has
# reaped it and its number may already belong to another test's X server or sound server, which
# `kill` would end and `kill -0` would take for the child still running.
# Sourced by the end-to-end scripts.

# child_running PID: true while PID is a child of this shell that has not ended.
child_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) } # after the command name, which may hold spaces: state, parent, ...
    set -- $stat
    [ "$1" != Z ] && [ "$2" = "$$" ]
}

# kill_own PID...: sends SIGTERM to those of the processes that are still running children of
# this shell.
kill_own() {
    local pid
    for pid in "$@"; do
        if child_running "$pid"; then kill "$pid" 2>/dev/null; fi
    done
    return 0
}
