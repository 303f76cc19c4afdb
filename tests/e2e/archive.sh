#!/usr/bin/env bash
# Archive: the dialog lists the year folders under the purge folder; picking one re-points
# ZorvStk and ZorvHis at that year and stores the choice.
source "$(dirname "$0")/lib.sh"

install_tool
year=$(($(date +%Y) - 1))
mkdir -p "$INST"/Purge/{$year,$((year - 1))}
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
import -window "$dialog" "$WORK/archive.png"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key Down                  # the newest year, under "Default GDB"
sleep 0.2
xdotool key Return 2>/dev/null || true
sleep 0.5
no_window 'Archive GDB' || fail "the dialog stayed open"

[[ "$(ini_value "$INST/Register.ini" DATABASE ARCHIVE_GDB)" == "$year Archive GDB" ]] ||
    fail "ARCHIVE_GDB holds '$(ini_value "$INST/Register.ini" DATABASE ARCHIVE_GDB)'"
[[ "$(ini_value "$INST/DbAliases.cfg" ZorvStk 'SERVER NAME')" == "$INST/Db/$year/ZorvStk.gdb" ]] || fail ZorvStk
[[ "$(ini_value "$INST/DbAliases.cfg" ZorvStk 'USER NAME')" == KLYDBA ]] || fail "ZorvStk user"
[[ "$(ini_value "$INST/DbAliases.cfg" ZorvHis 'SERVER NAME')" == "$INST/Db/$year/ZorvHis.gdb" ]] || fail ZorvHis

click "${CANCEL_BUTTON[@]}"
expect_exit
echo "archive: ok"
