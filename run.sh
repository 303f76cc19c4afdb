#!/usr/bin/env bash
# Builds the tool, lays out a demo installation folder build/demo/ and starts the tool there.
# Without a display it runs on a private Xvfb, saves a screenshot and closes the tool.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
source "$ROOT/scripts/setup.sh"

DEMO="$ROOT/build/demo"
mkdir -p "$DEMO/Db" "$DEMO/DbTrain" "$DEMO/DbZero"
cp "$ROOT/build/src/app/calvex" "$DEMO/calvex"
for f in POSAPP POSHIS POSSTK POSSYS; do : > "$DEMO/Db/$f.FDB"; done
: > "$DEMO/ZorvTmp.gdb"

if [[ -n "${DISPLAY:-}" ]]; then
    cd "$DEMO" && exec ./calvex
fi

"$ROOT/scripts/screenshot.sh" "$DEMO/calvex" "$DEMO/calvex.png"
echo "No display: the tool ran on a private X server; its window is in $DEMO/calvex.png"
