#!/usr/bin/env bash
# A missing report sub-folder: OK shows an "Error" box and the window stays; once the folder
# exists, OK saves and closes.
source "$(dirname "$0")/lib.sh"

install_tool
mkdir -p "$INST"/{Db,Purge} "$INST"/Report/{Analysis,Form,Journal,Listing}
touch "$INST"/Db/POS{APP,HIS,STK,SYS}.FDB "$INST/Tmp.gdb"
cat >"$INST/Register.ini" <<INI
[DATABASE]
DATABASE_SERVER=LOCAL
DEFAULT=C
POS_PATH=$INST/Db
POSAPP_FILE=$INST/Db/POSAPP.FDB
POSHIS_FILE=$INST/Db/POSHIS.FDB
POSSTK_FILE=$INST/Db/POSSTK.FDB
POSSYS_FILE=$INST/Db/POSSYS.FDB
POS_PURGE_PATH=$INST/Purge
POSTMP_FILE=$INST/Tmp.gdb
[REPORT]
PATH=$INST/Report
ANALYSIS=$INST/Report/Analysis
FORM=$INST/Report/Form
JOURNAL=$INST/Report/Journal
LISTING=$INST/Report/Listing
MISC=$INST/Report/Misc
INI
cp "$INST/Register.ini" "$WORK/register.before"

start_tool
click "${OK_BUTTON[@]}"
answer_box Error Return $'Directory Not Found !\r\nPlease check, directory not able to load.\r\n\r\nMiscellaneous : '"$INST/Report/Misc"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended after the error"
wait_window "$MAIN_TITLE" 2 >/dev/null || fail "the main window is gone"
cmp -s "$INST/Register.ini" "$WORK/register.before" || fail "a failed check wrote Register.ini"
[[ ! -e "$INST/DbAliases.cfg" ]] || fail "a failed check registered aliases"

mkdir "$INST/Report/Misc"
click "${OK_BUTTON[@]}"
answer_box Information Return "Calvex Update Completed."
expect_exit
[[ "$(ini_value "$INST/DbAliases.cfg" POSSYS 'SERVER NAME')" == "$INST/Db/POSSYS.FDB" ]] ||
    fail "POSSYS was not registered"
echo "missing report sub-folder: ok"
