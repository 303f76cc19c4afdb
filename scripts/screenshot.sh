#!/usr/bin/env bash
# Runs the tool at $1 on a private X server, saves a screenshot of its window to $2 and ends it.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/xvfb.sh"
EXE=$(realpath "$1")
OUT=$(realpath -m "$2")

APP_PID=""
cleanup() {
    [[ -n "$APP_PID" ]] && kill -9 "$APP_PID" 2>/dev/null || true
    xvfb_stop
}
trap cleanup EXIT

xvfb_start
cd "$(dirname "$EXE")"
QT_QPA_PLATFORMTHEME= "$EXE" >/dev/null 2>&1 &
APP_PID=$!
if ! wid=$(wait_window 'Calvex v10.7.10.2' 20); then
    echo "The tool's window did not appear" >&2
    exit 1
fi
sleep 1
import -window "$wid" "$OUT"
kill "$APP_PID" 2>/dev/null || true
wait_exit "$APP_PID" 5 || kill -9 "$APP_PID" 2>/dev/null || true
APP_PID=""
