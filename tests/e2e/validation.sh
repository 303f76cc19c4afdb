#!/usr/bin/env bash
# Each check of OK, as a person meets them one after the other: the box names what is missing,
# word for word, and once that is mended the next OK reaches the next check, until the update
# completes. The remote purge folder of the training set is met in a second start.
source "$(dirname "$0")/lib.sh"

FOLDER_HEAD=$'Directory Not Found !\r\nPlease check, directory not able to load.\r\n'
FILE_HEAD=$'File Not Exists ! \r\nPlease check, file not able to load.\r\n\r\n'

install_tool
mkdir -p "$INST"/{Db,DbTrain} "$INST"/Report/{Analysis,Form,Journal,Listing}
touch "$INST"/Db/POS{APP,HIS,STK,SYS}.FDB "$INST"/DbTrain/{App,His}.gdb
cat >"$INST/Register.ini" <<INI
[DATABASE]
DATABASE_SERVER=LOCAL
DEFAULT=T
DEFAULT_SERVER=T
POS_PATH=$INST/Db
POSAPP_FILE=$INST/Db/POSAPP.FDB
POSHIS_FILE=$INST/Db/POSHIS.FDB
POSSTK_FILE=$INST/Db/POSSTK.FDB
POSSYS_FILE=$INST/Db/POSSYS.FDB
TRAIN_PATH=$INST/DbTrain
TRAINAPP_FILE=$INST/DbTrain/App.gdb
TRAINHIS_FILE=$INST/DbTrain/His.gdb
TRAINSTK_FILE=$INST/DbTrain/Stk.gdb
TRAINSYS_FILE=$INST/DbTrain/Sys.gdb
TRAIN_PURGE_PATH=$INST/PurgeT
TRAIN_PURGE_PATH_R=$INST/PurgeRT
POSTMP_FILE=$INST/Tmp.gdb
[REPORT]
PATH=$INST/Report
ANALYSIS=$INST/Report/Analysis
FORM=$INST/Report/Form
JOURNAL=$INST/Report/Journal
LISTING=$INST/Report/Listing
MISC=$INST/Report/Misc
INI

# ok_refused TEXT: OK shows an error box reading TEXT; the window stays.
ok_refused() {
    click "${OK_BUTTON[@]}"
    answer_box Error Return "$1"
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended after the error"
    wait_window "$MAIN_TITLE" 2 >/dev/null || fail "the main window is gone"
}

start_tool
ok_refused "${FILE_HEAD}GDB Database Path Files :-"$'\r\n'"$INST/DbTrain/App.gdb"$'\r\n'"$INST/DbTrain/His.gdb"$'\r\n'"$INST/DbTrain/Stk.gdb"$'\r\n'"$INST/DbTrain/Sys.gdb"
touch "$INST"/DbTrain/{Stk,Sys}.gdb
ok_refused "$FOLDER_HEAD"$'\r\nGDB Purge Path :-\r\n'"$INST/PurgeT"
mkdir "$INST/PurgeT"
ok_refused "${FILE_HEAD}fDB Temporary File :-"$'\r\n'"$INST/Tmp.gdb"
touch "$INST/Tmp.gdb"
ok_refused "$FOLDER_HEAD"$'\r\nMiscellaneous : '"$INST/Report/Misc"
mkdir "$INST/Report/Misc"
click "${OK_BUTTON[@]}"
answer_box Information Return "Calvex Update Completed."
expect_exit

# The same set on a client of a server: only its remote purge folder is checked.
sed -i 's/^DATABASE_SERVER=LOCAL/DATABASE_SERVER=REMOTE/' "$INST/Register.ini"
start_tool
ok_refused "$FOLDER_HEAD"$'\r\nPurge To Path :-\r\n'"$INST/PurgeRT"
click "${CANCEL_BUTTON[@]}"
expect_exit
echo "validation messages: ok"
