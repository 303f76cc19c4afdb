#!/usr/bin/env bash
# A fresh installation: the window opens, Cancel closes it; Register.ini then holds exactly the
# first-run defaults and the alias configuration is untouched.
source "$(dirname "$0")/lib.sh"
GOLDEN="$SOURCE_DIR/tests/e2e/golden"

install_tool
printf '[OTHER]\nTYPE=INTRBASE\nSERVER NAME=/srv/other.fdb\n' >"$INST/DbAliases.cfg"
cp "$INST/DbAliases.cfg" "$WORK/aliases.before"

start_tool
expect_texts "$MAIN_TITLE" "Norhex Calvex" "> Database Server Setup"
click "${CANCEL_BUTTON[@]}"
expect_exit

same_as_golden "$INST/Register.ini" "$GOLDEN/fresh_install.ini"
cmp -s "$INST/DbAliases.cfg" "$WORK/aliases.before" || fail "DbAliases.cfg was changed"
echo "fresh installation: ok"
