#!/usr/bin/env bash
# Regenerates docs/test-gdb.png: the result window of "Test GDB" on the demo installation,
# taken from the real program on a private X server.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/xvfb.sh"
[[ -x "$ROOT/build/src/app/calvex" ]] || { echo "Build first: ./run.sh or ./test.sh" >&2; exit 1; }

# A short, fixed folder name keeps the picture readable.
INST=/tmp/ZorvanPOS
[[ ! -e "$INST" ]] || { echo "$INST exists; remove it first" >&2; exit 1; }
APP_PID=""
trap '[[ -n "$APP_PID" ]] && kill -9 "$APP_PID" 2>/dev/null; xvfb_stop; rm -rf "$INST"' EXIT

cmake --install "$ROOT/build" --prefix "$INST" >/dev/null
"$ROOT/scripts/demo-layout.sh" "$INST"
# One alias keyed wrong, so the picture shows a failure beside the four that open.
sed -i 's|^POSHIS_FILE=.*|POSHIS_FILE='"$INST"'/Db/POSHIS.GDB\r|' "$INST/Register.ini"

xvfb_start
(cd "$INST" && exec env QT_QPA_PLATFORMTHEME= ./calvex >/dev/null 2>&1) &
APP_PID=$!
wid=$(wait_window 'Calvex v10.7.10.2' 20) || { echo "The window did not appear" >&2; exit 1; }
sleep 1
xdotool mousemove --window "$wid" 856 612 click 1
dialog=$(wait_window 'Test GDB' 10) || { echo "The result window did not open" >&2; exit 1; }
sleep 2
mkdir -p "$ROOT/docs"
timeout 20 import -window "$dialog" "$ROOT/docs/test-gdb.png"
echo "Picture written to $ROOT/docs/test-gdb.png"
