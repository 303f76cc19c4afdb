#!/usr/bin/env bash
# Helpers for running the tool on a private X server. Source it; every wait has a time-out.

XVFB_PID=""

# Starts Xvfb on a free display and exports DISPLAY.
xvfb_start() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$fifo" >/dev/null 2>&1 &
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

# Prints the id of the first visible window whose caption is exactly $1; waits up to $2 s.
wait_window() {
    local title=$1 limit=${2:-15} id
    id=$(timeout "$limit" xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1)
    [[ -n "$id" ]] && echo "$id"
}

# Succeeds when no visible window has the caption $1.
no_window() {
    ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
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
