#!/usr/bin/env bash
# Regenerates the pictures in docs/ from the real program on a private X server, with a sample
# installation: one picture per page and one of the archive dialog.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/xvfb.sh"
[[ -x "$ROOT/build/src/app/calvex" ]] || { echo "Build first: ./run.sh or ./test.sh" >&2; exit 1; }

# A short, fixed folder name keeps the pictures readable.
INST=/tmp/ZorvanPOS
[[ ! -e "$INST" ]] || { echo "$INST exists; remove it first" >&2; exit 1; }
APP_PID=""
trap '[[ -n "$APP_PID" ]] && kill -9 "$APP_PID" 2>/dev/null; xvfb_stop; rm -rf "$INST"' EXIT

cmake --install "$ROOT/build" --prefix "$INST" >/dev/null
year=$(date +%Y)
mkdir -p "$INST"/{Db,DbZero,Picture,Log} "$INST"/Purge/{$((year - 1)),$((year - 2))}
cat >"$INST/Register.ini" <<INI
[DATABASE]
DATABASE_SERVER=LOCAL
DEFAULT=C
DEFAULT_SERVER=C
OS_SERVER=0
POS_PATH=$INST/Db
POSAPP_FILE=$INST/Db/POSAPP.FDB
POSHIS_FILE=$INST/Db/POSHIS.FDB
POSSTK_FILE=$INST/Db/POSSTK.FDB
POSSYS_FILE=$INST/Db/POSSYS.FDB
POS_PURGE_PATH=$INST/Purge
POS_PURGE_PATH_TF=1
POSZERO_PATH=$INST/DbZero
POSTMP_FILE=$INST/ZorvTmp.gdb
ZORV_PATH=$INST/Db
ZORV_PURGE_PATH=$INST/Purge
STOCK_PHOTO_PATH=$INST/Picture
STOCK_PHOTO_LOADSAVE=PATH
[REPORT]
PATH=$INST/Report
LOG=$INST/Log
LOG_EXT=000
KLYPOSW_LOG=1
[APPLICATION_LINK]
BACKUP_SYSTEM=1
POLLING_MODULE=1
[LANGUAGE]
LANGUAGE=0
INI

xvfb_start
(cd "$INST" && exec env QT_QPA_PLATFORMTHEME= ./calvex >/dev/null 2>&1) &
APP_PID=$!
wid=$(wait_window 'Calvex v10.7.10.2' 20) || { echo "The window did not appear" >&2; exit 1; }
sleep 1
mkdir -p "$ROOT/docs"
import -window "$wid" "$ROOT/docs/database-page.png"
xdotool mousemove --window "$wid" 60 143 click 1 && sleep 0.5
import -window "$wid" "$ROOT/docs/directories-page.png"
xdotool mousemove --window "$wid" 60 175 click 1 && sleep 0.5
import -window "$wid" "$ROOT/docs/modules-page.png"
xdotool mousemove --window "$wid" 619 612 click 1
dialog=$(wait_window 'Archive GDB' 10) || { echo "The archive dialog did not open" >&2; exit 1; }
sleep 0.5
import -window "$dialog" "$ROOT/docs/archive-dialog.png"
echo "Pictures written to $ROOT/docs"
