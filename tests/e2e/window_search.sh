#!/usr/bin/env bash
# Looking for a window by its caption while other windows come and go (as the splash does at
# every start) finds it every time, and a window that is gone is reported gone.
# Usage: window_search.sh <calvex executable> <source folder>
set -euo pipefail
source "$2/scripts/xvfb.sh"

flicker=""
target=""
finish() {
    [[ -n "$flicker" ]] && kill "$flicker" 2>/dev/null && wait "$flicker" 2>/dev/null || true
    [[ -n "$target" ]] && kill "$target" 2>/dev/null || true
    xvfb_stop
}
trap finish EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

xvfb_start
# Windows that live for a few milliseconds each, all the time.
(
    while :; do
        xmessage -title flicker x >/dev/null 2>&1 &
        sleep 0.02
        kill $! 2>/dev/null || true
    done
) &
flicker=$!

for i in $(seq 1 30); do
    xmessage -title "Target $i" target >/dev/null 2>&1 &
    target=$!
    wait_window "Target $i" 10 >/dev/null || fail "window $i was not found"
    no_window "Target $i" && fail "window $i is there, but was reported gone"
    kill "$target"
    wait "$target" 2>/dev/null || true
    target=""
    wait_no_window "Target $i" 10 || fail "window $i was reported after it had gone"
done
echo "window search: ok"
