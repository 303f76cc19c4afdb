#!/usr/bin/env bash
# A second start of the program, from another installation folder, is refused with a box and
# exits cleanly without its main window; once the first copy is killed, a new start runs.
# Usage: instance_guard.sh <calvex executable> <source folder>
set -euo pipefail

executable=$1
source "$2/scripts/xvfb.sh"
journey_session "$@"
ATSPI="/usr/bin/python3 $2/tests/e2e/atspi.py"

MAIN="Calvex v10.7.10.2"
work=$(mktemp -d)
pids=()

finish() {
    local pid
    for pid in "${pids[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    xvfb_stop
    rm -rf "$work"
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Each copy gets its own installation folder, so a guard bound to the path would not hold.
install_copy() {
    mkdir -p "$work/$1" "$work/$1-cwd"
    cp "$executable" "$work/$1/calvex"
}

# Starts copy $1 from its own working folder; its pid is left in $started.
start_copy() {
    (cd "$work/$1-cwd" && exec "$work/$1/calvex") >"$work/$1.log" 2>&1 &
    started=$!
    pids+=("$started")
}

windows_named() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

listing() {
    (cd "$work" && find "$1" "$1-cwd" | sort)
}

xvfb_start
for copy in a b c; do install_copy "$copy"; done

start_copy a
a=$started
main=$(wait_window "$MAIN" 20) || fail "the first copy did not open its main window"
[[ $(xdotool getwindowpid "$main") == "$a" ]] || fail "the main window is not the first copy's"

b_files_before=$(listing b)
start_copy b
b=$started
box=$(wait_window "Error" 20) || fail "the second copy showed no box captioned Error"
[[ $(xdotool getwindowpid "$box") == "$b" ]] || fail "the box captioned Error is not the second copy's"
$ATSPI expect-texts "$b" Error 10 "Program Already Running !" || fail "the box does not read 'Program Already Running !'"
[[ $(windows_named "$MAIN") -eq 1 ]] || fail "the second copy opened a main window"

# No window manager: focus the box directly. The box closes on the key press, so sending the
# release then fails with BadWindow; the exit below is what tells whether OK was taken.
xdotool windowfocus --sync "$box"
xdotool key --window "$box" Return 2>/dev/null || true
wait_exit "$b" 15 || fail "the second copy did not exit after OK"
b_status=0
wait "$b" || b_status=$?
[[ $b_status -eq 0 ]] || fail "the second copy exited with code $b_status"
[[ $(listing b) == "$b_files_before" ]] || fail "the second copy touched its folders"
[[ $(windows_named "$MAIN") -eq 1 ]] || fail "the main window count changed"
kill -0 "$a" 2>/dev/null || fail "the first copy ended"

# The operating system frees the name however the holder ends.
kill -9 "$a"
wait "$a" 2>/dev/null || true
wait_no_window "$MAIN" 10 || fail "the first copy's window outlived it"
start_copy c
c=$started
main=$(wait_window "$MAIN" 20) || fail "the third copy did not open its main window"
[[ $(xdotool getwindowpid "$main") == "$c" ]] || fail "the main window is not the third copy's"
kill -0 "$c" 2>/dev/null || fail "the third copy ended"
echo "PASS"
