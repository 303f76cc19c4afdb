#!/usr/bin/env bash
# Helpers for running the tool on a private X server. Source it; every wait has a time-out.

XVFB_PID=""

# Starts Xvfb on a free display and exports DISPLAY. Without -noreset the server resets each
# time its last client leaves, and a program connecting meanwhile (the tool right after a
# search for its window) is refused.
xvfb_start() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local number
    if ! read -r -t 15 number <"$fifo"; then
        rm -f "$fifo"
        echo "Xvfb did not start" >&2
        return 1
    fi
    rm -f "$fifo"
    export DISPLAY=":$number"
}

xvfb_stop() {
    if [[ -n "$XVFB_PID" ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

# Prints the ids of the visible windows whose caption is exactly $1. A window that vanishes
# while it is looked at (the splash, a closing box) makes xdotool fail with an X error: the
# search is then simply run again, so only a clean answer counts.
visible_windows() {
    local out err i
    err=$(mktemp)
    for ((i = 0; i < 50; i++)); do
        out=$(xdotool search --onlyvisible --name "^$1\$" 2>"$err") || true
        if [[ ! -s "$err" ]]; then
            rm -f "$err"
            [[ -n "$out" ]] && echo "$out"
            return 0
        fi
    done
    rm -f "$err"
    return 1
}

# Prints the id of the first visible window whose caption is exactly $1; waits up to $2 s.
wait_window() {
    local title=$1 limit=${2:-15} id deadline
    deadline=$((SECONDS + limit))
    while :; do
        id=$(visible_windows "$title" | head -n1) || true
        if [[ -n "$id" ]]; then
            echo "$id"
            return 0
        fi
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Succeeds when no visible window has the caption $1.
no_window() {
    local ids
    ids=$(visible_windows "$1") || return 1
    [[ -z "$ids" ]]
}

# Waits up to $2 seconds until no visible window has the caption $1.
wait_no_window() {
    local deadline=$((SECONDS + ${2:-15}))
    until no_window "$1"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Runs the calling script again in a session of its own: a private network namespace (as
# root), so a copy of the tool running elsewhere on the machine holds another instance guard,
# and a private D-Bus session with the accessibility bus, where the program publishes what it
# shows. Call it first, with the script's arguments.
journey_session() {
    [[ -n "${CALVEX_JOURNEY_SESSION:-}" ]] && return 0
    export CALVEX_JOURNEY_SESSION=1 QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    if [[ $(id -u) -eq 0 ]] && unshare -n true 2>/dev/null; then
        exec unshare -n bash -c 'ip link set lo up && exec dbus-run-session -- bash "$@"' \
            bash "$0" "$@"
    fi
    exec dbus-run-session -- bash "$0" "$@"
}

# Waits up to $2 seconds for process $1 to end.
wait_exit() {
    local pid=$1 limit=${2:-15} i
    for ((i = 0; i < limit * 10; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}
