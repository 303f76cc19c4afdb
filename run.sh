#!/usr/bin/env bash
# Builds the tool, lays out a demo installation folder build/demo/ and starts the tool there.
# The demo is a standalone machine whose Register.ini names only folders and files that exist,
# with real, empty Firebird databases, so OK completes and "Test GDB" opens all five.
# Without a display it runs on a private Xvfb, saves a screenshot and closes the tool.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
source "$ROOT/scripts/setup.sh"

DEMO="$ROOT/build/demo"
# Laid out afresh on every run, so the demo always starts from the same state.
rm -rf "$DEMO"
"$ROOT/scripts/demo-layout.sh" "$DEMO"
cp "$ROOT/build/src/app/calvex" "$DEMO/calvex"

if [[ -n "${DISPLAY:-}" ]]; then
    cd "$DEMO" && exec ./calvex
fi

"$ROOT/scripts/screenshot.sh" "$DEMO/calvex" "$DEMO/calvex.png"
echo "No display: the tool ran on a private X server; its window is in $DEMO/calvex.png"
