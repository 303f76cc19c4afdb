#!/usr/bin/env bash
# The demo installation, "Test GDB": the result window shows OK for all five aliases and nothing
# is written; then OK completes on the same folder.
source "$(dirname "$0")/lib.sh"

install_tool
"$SOURCE_DIR/scripts/demo-layout.sh" "$INST"
cp "$INST/Register.ini" "$WORK/Register.before"

# A client configuration of its own: the port it would try for a local server is one nobody
# listens on, so a server elsewhere on the machine cannot take part and the embedded engine
# opens the files, as on a machine without a server.
FB_SYSTEM=$(dirname "$(ls /usr/lib/*/firebird/3.0/plugins/libEngine12.so | head -n1)")/..
mkdir -p "$WORK/firebird/lock"
for entry in plugins intl lib UDF firebird.msg plugins.conf; do
    ln -s "$FB_SYSTEM/$entry" "$WORK/firebird/$entry"
done
echo "RemoteServicePort = 1" >"$WORK/firebird/firebird.conf"
: >"$WORK/firebird/databases.conf"
export FIREBIRD="$WORK/firebird" FIREBIRD_LOCK="$WORK/firebird/lock"

start_tool
click 856 612                                      # "Test GDB"
dialog=$(wait_window "Test GDB" 10) || fail "the result window did not open"
report=""
for ((i = 0; i < 30; i++)); do
    sleep 0.5
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    # The focus rests on Close when the test is done; Copy stands before it.
    ((i > 0)) || xdotool key shift+Tab
    xdotool key space
    report=$(xclip -o -selection clipboard 2>/dev/null || true)
    [[ "$report" == *"Test completed."* ]] && break
done
timeout 20 import -window "$dialog" "$WORK/test-gdb.png" 2>/dev/null || true
[[ "$report" == *"Test completed."* ]] || fail "the test did not complete: $report"
echo "$report"
for alias in POSSYS POSHIS POSAPP POSSTK POSTMP; do
    grep -q "^$alias  $INST/" <<<"$report" || fail "no row for $alias"
done
oks=$(grep -c '^    OK: ODS 12.0, page size 4096, server ' <<<"$report" || true)
((oks == 5)) || fail "OK for $oks of the five aliases"

xdotool key Tab space                              # Close
sleep 0.5
no_window "Test GDB" || fail "the result window is still open"
cmp -s "$INST/Register.ini" "$WORK/Register.before" || fail "the test changed Register.ini"
[[ ! -e "$INST/DbAliases.cfg" ]] || fail "the test wrote DbAliases.cfg"

click "${OK_BUTTON[@]}"
answer_box Information Return                      # "Calvex Update Completed."
expect_exit
grep -q "^SERVER NAME=$INST/Db/POSSYS.FDB" "$INST/DbAliases.cfg" || fail "POSSYS was not registered"
echo "test gdb: ok"
