#!/usr/bin/env bash
# Shared steps of the journeys: an installation folder laid out by `cmake --install`, the
# program on a private X server in a session of its own, a person's clicks and keys, and what
# the person reads, taken from the accessibility tree. Every wait is for a condition, with a
# time-out; the exit trap ends every process that was started.
set -euo pipefail

BUILD_EXE=$1   # the built executable (its build tree is installed)
SOURCE_DIR=$2
source "$SOURCE_DIR/scripts/xvfb.sh"
journey_session "$@"
ATSPI="/usr/bin/python3 $SOURCE_DIR/tests/e2e/atspi.py"

WORK=$(mktemp -d /tmp/calvex-e2e.XXXXXX)
INST="$WORK/pos"
APP_PID=""
MAIN_TITLE='Calvex v10.7.10.2'
SPLASH_TITLE='Zorvan POS Registration'

finish() {
    local rc=$?
    [[ -n "$APP_PID" ]] && kill -9 "$APP_PID" 2>/dev/null || true
    xvfb_stop
    if ((rc == 0)); then rm -rf "$WORK"; else echo "journey failed; its folder is kept: $WORK" >&2; fi
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    if [[ -n "${DISPLAY:-}" ]]; then import -window root "$WORK/failure.png" 2>/dev/null || true; fi
    exit 1
}

# Lays out the installation folder the way an installation does.
install_tool() {
    local build
    build=$(cd "$(dirname "$BUILD_EXE")/../.." && pwd)
    cmake --install "$build" --prefix "$INST" >/dev/null
    [[ -x "$INST/calvex" ]] || fail "the install laid out no executable"
}

start_tool() {
    (cd "$INST" && exec env QT_QPA_PLATFORMTHEME= ./calvex >"$WORK/calvex.log" 2>&1) &
    APP_PID=$!
    WID=$(wait_window "$MAIN_TITLE" 20) || fail "the main window did not appear"
    # Input is taken once the splash has come and gone.
    wait_no_window "$SPLASH_TITLE" 10 || fail "the splash window stayed"
    settle
    [[ "$($ATSPI app-name "$APP_PID" 10)" == Calvex ]] || fail "the application is not named Calvex"
}

# Waits until the program has handled the input sent to it so far.
settle() {
    $ATSPI sync "$APP_PID" 20 || fail "the program does not answer"
}

# click X Y [WINDOW]: a left click at the window's own coordinates.
click() {
    xdotool mousemove --window "${3:-$WID}" "$1" "$2" click 1
    settle
}

# type_into X Y TEXT [SHOWN]: click a field, select what it holds and type over it; the field
# then reads SHOWN (by default TEXT itself).
type_into() {
    local shown=${4-$3}
    click "$1" "$2"
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 5 -- "$3"
    $ATSPI expect-focused-text "$APP_PID" 10 "$shown" || fail "the field at ($1, $2) does not read '$shown'"
}

# expect_texts TITLE TEXT...: a shown window captioned TITLE reads each TEXT (exactly).
expect_texts() {
    local title=$1
    shift
    $ATSPI expect-texts "$APP_PID" "$title" 10 "$@" || fail "the window '$title' does not read as expected"
}

# expect_items TITLE ITEM...: the list of the window captioned TITLE holds exactly these entries.
expect_items() {
    local title=$1
    shift
    $ATSPI expect-items "$APP_PID" "$title" 10 "$@" || fail "the list of '$title' is not as expected"
}

# answer_box TITLE KEY [TEXT]: waits for a message box by its caption, checks that it reads
# TEXT when given, presses a key on it and waits until it has gone.
answer_box() {
    local box
    box=$(wait_window "$1" 10) || fail "no box captioned '$1'"
    (($# < 3)) || expect_texts "$1" "$3"
    import -window "$box" "$WORK/box.png" 2>/dev/null || true
    # The box closes on the key press; the key's release then finds no window, which is fine.
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key "$2" 2>/dev/null || true
    wait_no_window "$1" 10 || fail "the box '$1' stayed open after $2"
}

# wait_popup: waits until the program shows one more window than it did (a list that opens).
# Call popup_base first, before the click that opens it.
popup_base() { POPUP_BASE=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l) || true; }
wait_popup() {
    local deadline=$((SECONDS + 10)) count
    while :; do
        count=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l) || true
        ((count > POPUP_BASE)) && return 0
        ((SECONDS < deadline)) || fail "no list opened"
        sleep 0.05
    done
}

# Ends when the program has exited by itself, with exit code 0.
expect_exit() {
    wait_exit "$APP_PID" 10 || fail "the program is still running"
    local rc=0
    wait "$APP_PID" || rc=$?
    APP_PID=""
    ((rc == 0)) || fail "the program ended with exit code $rc"
}

# ini_value FILE SECTION KEY
ini_value() {
    awk -v s="[$2]" -v k="$3" '
        { sub(/\r$/, "") }
        /^\[/ { in_s = ($0 == s); next }
        in_s && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }' "$1"
}

# same_as_golden FILE GOLDEN: compares byte for byte after putting the folder in for @DIR@.
same_as_golden() {
    sed "s|@DIR@|$INST|g" "$2" >"$WORK/expected"
    cmp -s "$1" "$WORK/expected" || { diff <(cat -A "$WORK/expected") <(cat -A "$1") >&2 || true; fail "$1 differs from $(basename "$2")"; }
}

# Window coordinates of the controls: pages start at (185, 81); rows are 40 pixels apart.
NAV_DATABASE=(60 111)
NAV_DIRECTORIES=(60 143)
NAV_MODULES=(60 175)
OK_BUTTON=(53 612)
CANCEL_BUTTON=(133 612)
ARCHIVE_BUTTON=(619 612)
row_y() { echo $((81 + 24 + 40 * $1 + 11)); }
FIELD_X=485
xvfb_start
