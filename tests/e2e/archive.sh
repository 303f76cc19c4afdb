#!/usr/bin/env bash
# Archive: the dialog lists the year folders under the purge folder, newest first and older
# years too; picking one re-points ZorvStk (user KLYDBA) and ZorvHis (user SYSDBA) at that
# year and stores the choice.
source "$(dirname "$0")/lib.sh"

install_tool
year=$(($(date +%Y) - 1))
older=$((year - 6))
mkdir -p "$INST"/Purge/{$year,$older,$((year - 30))} "$INST/Purge/notayear"
touch "$INST/Purge/$year/ZorvStk.gdb" "$INST/Purge/$year/ZorvHis.gdb"
cat >"$INST/Register.ini" <<INI
[DATABASE]
DATABASE_SERVER=LOCAL
DEFAULT=C
DEFAULT_SERVER=C
OS_SERVER=0
ZORV_PATH=$INST/Db
ZORV_PURGE_PATH=$INST/Purge
INI

start_tool
click "${ARCHIVE_BUTTON[@]}"
dialog=$(wait_window 'Archive GDB' 10) || fail "the archive dialog did not open"
expect_texts 'Archive GDB' "Path : $INST/Purge"
expect_items 'Archive GDB' "Default GDB" "$year Archive GDB" "$older Archive GDB"
import -window "$dialog" "$WORK/archive.png"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key Down                  # the newest year, under "Default GDB"
settle
xdotool key Return 2>/dev/null || true
wait_no_window 'Archive GDB' 10 || fail "the dialog stayed open"
settle

[[ "$(ini_value "$INST/Register.ini" DATABASE ARCHIVE_GDB)" == "$year Archive GDB" ]] ||
    fail "ARCHIVE_GDB holds '$(ini_value "$INST/Register.ini" DATABASE ARCHIVE_GDB)'"
for alias in ZorvStk:KLYDBA ZorvHis:SYSDBA; do
    name=${alias%%:*} user=${alias#*:}
    got=$(ini_value "$INST/DbAliases.cfg" "$name" 'SERVER NAME')
    [[ "$got" == "$INST/Db/$year/$name.gdb" ]] || fail "$name points at '$got'"
    got=$(ini_value "$INST/DbAliases.cfg" "$name" 'USER NAME')
    [[ "$got" == "$user" ]] || fail "$name has the user '$got', not $user"
done

click "${CANCEL_BUTTON[@]}"
expect_exit
echo "archive: ok"
