#!/usr/bin/env bash
# Client mode with a Linux server: the server name typed in lower case is stored in upper case
# and the aliases name the server directly followed by the remote path.
source "$(dirname "$0")/lib.sh"

install_tool
mkdir -p "$INST"/Report/{Analysis,Form,Journal,Listing,Misc}
touch "$INST/Tmp.gdb"
cat >"$INST/Register.ini" <<INI
[DATABASE]
DATABASE_SERVER=REMOTE
DEFAULT_SERVER=C
OS_SERVER=1
POSTMP_FILE=$INST/Tmp.gdb
[REPORT]
ANALYSIS=$INST/Report/Analysis
FORM=$INST/Report/Form
JOURNAL=$INST/Report/Journal
LISTING=$INST/Report/Listing
MISC=$INST/Report/Misc
INI

start_tool
type_into 655 "$(row_y 0)" "shopsrv" "SHOPSRV"
type_into "$FIELD_X" "$(row_y 1)" ":/data/pos"
click 879 "$(row_y 1)"            # ">>"
click "${OK_BUTTON[@]}"
answer_box Information Return "Calvex Update Completed."
expect_exit

[[ "$(ini_value "$INST/Register.ini" DATABASE SERVER_NAME)" == SHOPSRV ]] || fail "server name not upper case"
[[ "$(ini_value "$INST/Register.ini" DATABASE OS_SERVER)" == 1 ]] || fail "OS_SERVER changed"
for db in APP HIS STK SYS; do
    got=$(ini_value "$INST/DbAliases.cfg" "POS$db" 'SERVER NAME')
    [[ "$got" == "SHOPSRV:/data/pos/POS$db.FDB" ]] || fail "POS$db points at '$got'"
done
[[ "$(ini_value "$INST/DbAliases.cfg" POSTMP 'SERVER NAME')" == "$INST/Tmp.gdb" ]] || fail "POSTMP"
echo "client mode, Linux server: ok"
