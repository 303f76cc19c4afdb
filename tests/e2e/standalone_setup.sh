#!/usr/bin/env bash
# Standalone set-up from scratch: choose the mode, key in the database folder, ">>", the purge,
# zero and temporary paths, OK; the completion box closes the program and both files hold
# exactly what was set.
source "$(dirname "$0")/lib.sh"
GOLDEN="$SOURCE_DIR/tests/e2e/golden"

install_tool
mkdir -p "$INST"/{Db,Purge,DbZero} "$INST"/Report/{Analysis,Form,Journal,Listing,Misc}
touch "$INST"/Db/POS{APP,HIS,STK,SYS}.FDB "$INST/Tmp.gdb"

start_tool
popup_base
click 495 "$(row_y 0)"            # the mode list opens
wait_popup
xdotool key Up Return             # "Standalone / Master Data"
settle
type_into "$FIELD_X" "$(row_y 1)" "$INST/Db"
click 879 "$(row_y 1)"            # ">>"
type_into "$FIELD_X" "$(row_y 6)" "$INST/Purge"
type_into "$FIELD_X" "$(row_y 7)" "$INST/DbZero"
type_into "$FIELD_X" "$(row_y 8)" "$INST/Tmp.gdb"
click "${OK_BUTTON[@]}"
answer_box Information Return "Calvex Update Completed."
expect_exit

same_as_golden "$INST/Register.ini" "$GOLDEN/standalone_setup.ini"
same_as_golden "$INST/DbAliases.cfg" "$GOLDEN/standalone_setup.cfg"
echo "standalone set-up: ok"
